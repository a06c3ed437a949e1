// Path resolution, values by path, attribute creation and setting from text.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using namespace VELT;

// N holds a port P (under "port") with "width" = 640 and "name" = "p0";
// P holds a sensor S (under "sensor") with "height" = 480.
class TreePaths : public ::testing::Test {
  protected:
    TreePaths() {
        port = new GraphConfigNode();
        sensor = new GraphConfigNode();
        root.insertDescendant(port, kKeyPort);
        root.addValue(kKeyName, std::string("root"));
        port->addValue(kKeyWidth, 640);
        port->addValue(kKeyName, std::string("p0"));
        port->insertDescendant(sensor, kKeySensor);
        sensor->addValue(kKeyHeight, 480);
    }

    GraphConfigNode root;
    GraphConfigNode* port;
    GraphConfigNode* sensor;
};

TEST_F(TreePaths, ResolutionAnswersTheDeepestNodeOrTheAttributeHolder) {
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyPort, kKeyWidth}), port);
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyPort}), port);
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyPort, kKeySensor}), sensor);
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyPort, kKeySensor, kKeyHeight}), sensor);
    // An attribute at the first key is no node.
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyName}), nullptr);
    EXPECT_EQ(port->getDescendant(ItemUID{kKeyWidth}), nullptr);
    // A missing last key is tolerated only by the loose form.
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyPort, kKeyHeight}), nullptr);
    EXPECT_EQ(root.getGraphConfigItem(ItemUID{kKeyPort, kKeyHeight}), port);
    EXPECT_EQ(root.getGraphConfigItem(ItemUID{kKeyPort, kKeyWidth}), port);
    EXPECT_EQ(root.getGraphConfigItem(ItemUID{kKeyHeight}), nullptr);
    // A failure before the last key is fatal for both.
    EXPECT_EQ(root.getDescendant(ItemUID{kKeyPort, kKeyWidth, kKeyHeight}), nullptr);
    EXPECT_EQ(root.getGraphConfigItem(ItemUID{kKeyPort, kKeyBinner, kKeyHeight}), nullptr);
    EXPECT_EQ(root.getDescendant(ItemUID{}), nullptr);
    EXPECT_EQ(root.getGraphConfigItem(ItemUID{}), nullptr);

    EXPECT_EQ(root.getDescendantByString("port:width"), port);
    EXPECT_EQ(root.getDescendantByString("port:sensor:height"), sensor);
    EXPECT_EQ(root.getDescendantByString("nosuchblock:width"), nullptr);
    GraphConfigNode* out = &root;
    EXPECT_EQ(root.getDescendantByString("nosuchblock:width", &out), err_argument);
    EXPECT_EQ(out, &root);
    EXPECT_EQ(root.getDescendantByString("port:sensor", &out), err_none);
    EXPECT_EQ(out, sensor);
}

TEST_F(TreePaths, ValuesByPath) {
    int width = 0;
    EXPECT_EQ(root.getValue(ItemUID{kKeyPort, kKeyWidth}, width), err_none);
    EXPECT_EQ(width, 640);
    int height = 0;
    EXPECT_EQ(root.getValue(ItemUID{kKeyPort, kKeySensor, kKeyHeight}, height), err_none);
    EXPECT_EQ(height, 480);
    std::string name;
    EXPECT_EQ(root.getValue(ItemUID{kKeyName}, name), err_none);
    EXPECT_EQ(name, "root");
    EXPECT_EQ(root.getValue(ItemUID{kKeyPort, kKeyName}, name), err_none);
    EXPECT_EQ(name, "p0");

    EXPECT_EQ(root.getValue(ItemUID{kKeyBinner, kKeyWidth}, width), err_argument);
    EXPECT_EQ(root.getValue(ItemUID{}, width), err_argument);
    EXPECT_EQ(root.getValue(ItemUID{kKeyPort, kKeyName}, width), err_noentry);
    EXPECT_EQ(root.getValue(kKeyHeight, name), err_general);
    EXPECT_EQ(port->getValue(kKeyWidth, name), err_noentry);
    EXPECT_EQ(name, "p0");
}

TEST_F(TreePaths, AttributeByPathNeverFindsTheNodesOwnAttribute) {
    zovesk_test::LogCapture log;
    GraphConfigAttribute* attribute = nullptr;
    EXPECT_EQ(port->getAttribute(ItemUID{kKeyWidth}, &attribute), err_noentry);
    EXPECT_EQ(attribute, nullptr);
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "Warning: Failed to get descendant width for attribute"));

    ASSERT_EQ(root.getAttribute(ItemUID{kKeyPort, kKeyWidth}, &attribute), err_none);
    int width = 0;
    attribute->getValue(width);
    EXPECT_EQ(width, 640);

    log.clear();
    attribute = &root;
    // A path of nodes resolves to the deepest one, which lacks an item under its own key.
    EXPECT_EQ(root.getAttribute(ItemUID{kKeyPort, kKeySensor}, &attribute), err_noentry);
    EXPECT_EQ(attribute, nullptr);
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "warning: Failed to get attribute object for port.sensor"));
    EXPECT_EQ(root.getAttribute(ItemUID{kKeyPort, kKeyWidth}, nullptr), err_data);
}

TEST_F(TreePaths, CreateAttributeAddsTheAttributeAndAtMostOneNode) {
    zovesk_test::LogCapture log;
    GraphConfigAttribute* attribute = nullptr;
    ASSERT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeyHeight}, &attribute), err_none);
    int height = -1;
    EXPECT_EQ(port->getValue(kKeyHeight, height), err_none);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(attribute->getType(), GraphConfigItem::kTypeInt);

    EXPECT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeyHeight}, &attribute), err_general);
    EXPECT_EQ(attribute, nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to add attribute port.height to node"));

    // A string key gets an empty text.
    ASSERT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeyFormat}, &attribute), err_none);
    std::string format = "x";
    EXPECT_EQ(port->getValue(kKeyFormat, format), err_none);
    EXPECT_EQ(format, "");

    // One missing node is created, with the attribute inside.
    ASSERT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeyBinner, kKeyWidth}, &attribute), err_none);
    auto* binner = static_cast<GraphConfigNode*>(port->getDescendant(kKeyBinner));
    ASSERT_NE(binner, nullptr);
    EXPECT_EQ(binner->getAncestor(), port);
    int width = -1;
    EXPECT_EQ(binner->getValue(kKeyWidth, width), err_none);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(binner->getDescendantCount(), 1);

    // A one-key path creates the attribute in this node.
    ASSERT_EQ(sensor->createAttribute(ItemUID{kKeyFps}, &attribute), err_none);
    EXPECT_TRUE(sensor->hasItem(kKeyFps));
}

TEST_F(TreePaths, CreateAttributeRefusesDeeperGapsAndExistingItems) {
    zovesk_test::LogCapture log;
    const int before = port->getDescendantCount();
    GraphConfigAttribute* attribute = nullptr;
    EXPECT_EQ(root.createAttribute(ItemUID{kKeyProgramGroup, kKeyBaseType, kKeyName}, &attribute),
              err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Warning: Failed to create attribute program_group.base_type.name: "
                             "Too many missing nodes, stopped at depth 0"));
    EXPECT_FALSE(root.hasItem(kKeyProgramGroup));

    log.clear();
    EXPECT_EQ(
        root.createAttribute(ItemUID{kKeyPort, kKeyBinner, kKeyScaler, kKeyWidth}, &attribute),
        err_general);
    EXPECT_TRUE(log.contains("Too many missing nodes, stopped at depth 1"));
    EXPECT_EQ(port->getDescendantCount(), before);

    // A missing first key of a two-key path is a gap too deep.
    log.clear();
    EXPECT_EQ(root.createAttribute(ItemUID{kKeyBinner, kKeyWidth}, &attribute), err_general);
    EXPECT_TRUE(log.contains("stopped at depth 0"));
    EXPECT_FALSE(root.hasItem(kKeyBinner));

    log.clear();
    EXPECT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeySensor}, &attribute), err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Error: item port.sensor is not an attribute it is an existing node"));
    EXPECT_EQ(root.createAttribute(ItemUID{}, &attribute), err_general);

    // An attribute in the place of the missing node would hide the new node
    // from every later lookup.
    log.clear();
    EXPECT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeyName, kKeyWidth}, &attribute),
              err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to add attribute port.name.width to node"));
    EXPECT_EQ(port->getDescendantCount(), before);

    EXPECT_EQ(root.createAttribute(ItemUID{kKeyPort, kKeyFps}, nullptr), err_argument);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid argument (nullptr) to create an attribute"));
}

TEST_F(TreePaths, SetValueFromStrConvertsAndCreates) {
    const ItemUID width{kKeyPort, kKeyWidth};
    EXPECT_EQ(root.setValueFromStr(width, "1920"), err_none);
    int value = 0;
    root.getValue(width, value);
    EXPECT_EQ(value, 1920);
    EXPECT_EQ(root.setValueFromStr(width, "  -12abc"), err_none);
    root.getValue(width, value);
    EXPECT_EQ(value, -12);
    EXPECT_THROW(root.setValueFromStr(width, "abc"), std::invalid_argument);
    EXPECT_THROW(root.setValueFromStr(width, "4294967296"), std::out_of_range);
    root.getValue(width, value);
    EXPECT_EQ(value, -12);

    // Missing attributes are created in the holding node, of the key's kind.
    EXPECT_EQ(root.setValueFromStr(ItemUID{kKeyPort, kKeyHeight}, "1080"), err_none);
    EXPECT_EQ(port->getValue(kKeyHeight, value), err_none);
    EXPECT_EQ(value, 1080);
    EXPECT_EQ(root.setValueFromStr(ItemUID{kKeyPort, kKeyFormat}, "nv12"), err_none);
    std::string format;
    EXPECT_EQ(port->getValue(kKeyFormat, format), err_none);
    EXPECT_EQ(format, "nv12");
    EXPECT_EQ(root.setValueFromStr(ItemUID{kKeyVersion}, "1.0"), err_none);
    EXPECT_EQ(root.getValue(kKeyVersion, format), err_none);
    EXPECT_EQ(format, "1.0");

    // The attribute created before a failed conversion stays with its default.
    EXPECT_THROW(root.setValueFromStr(ItemUID{kKeyPort, kKeyFps}, "fast"), std::invalid_argument);
    EXPECT_EQ(port->getValue(kKeyFps, value), err_none);
    EXPECT_EQ(value, 0);

    EXPECT_EQ(root.setValueFromStr(ItemUID{kKeyBinner, kKeyWidth}, "1"), err_noentry);
    EXPECT_FALSE(root.hasItem(kKeyBinner));
    EXPECT_EQ(root.setValueFromStr(ItemUID{kKeyPort, kKeyBinner, kKeyWidth}, "1"), err_noentry);
    EXPECT_EQ(root.setValueFromStr(ItemUID{kKeyPort, kKeyName, kKeyWidth}, "1"), err_noentry);
    EXPECT_FALSE(port->hasItem(kKeyBinner));

    // A node under the last key refuses text.
    EXPECT_EQ(port->setValueFromStr(ItemUID{kKeySensor}, "x"), err_noentry);
}

TEST_F(TreePaths, SetValueWithoutOptionListIsRefused) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(port->setValue(kKeyWidth, 1280), err_noentry);
    int width = 0;
    port->getValue(kKeyWidth, width);
    EXPECT_EQ(width, 640);
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "Trying to apply value but no options list available for"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG,
                             "setValue() restricted to attributes that have predefined options"));

    log.clear();
    EXPECT_EQ(root.setValue(ItemUID{kKeyPort, kKeyName}, std::string("p1")), err_noentry);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "setValue() restricted to attributes that have predefined options"));
    std::string name;
    port->getValue(kKeyName, name);
    EXPECT_EQ(name, "p0");

    log.clear();
    EXPECT_EQ(port->setValue(kKeyName, 3), err_argument);
    EXPECT_EQ(port->setValue(kKeyWidth, std::string("3")), err_argument);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Attribute is of wrong type"));
    EXPECT_EQ(port->setValue(kKeySensor, 3), err_argument);
    EXPECT_EQ(port->setValue(kKeyHeight, 3), err_noentry);
    EXPECT_EQ(root.setValue(ItemUID{kKeyBinner, kKeyWidth}, 3), err_noentry);

    // An options list for another attribute does not govern this one.
    auto* options = new GraphConfigNode();
    options->addValue(kKeyAttribute, static_cast<int>(kKeyHeight));
    port->insertDescendant(options, kKeyOptions);
    EXPECT_EQ(port->setValue(kKeyWidth, 1280), err_noentry);

    // Text and the attribute's own setter bypass the rule.
    EXPECT_EQ(port->setValueFromStr(ItemUID{kKeyWidth}, "1280"), err_none);
    port->getValue(kKeyWidth, width);
    EXPECT_EQ(width, 1280);
}

TEST_F(TreePaths, TypeTestUsesTheTypeText) {
    port->addValue(kKeyType, std::string("port"));
    EXPECT_TRUE(port->isType(kKeyPort));
    EXPECT_FALSE(port->isType(kKeySink));
    sensor->addValue(kKeyType, std::string("not_a_known_type"));
    EXPECT_TRUE(sensor->isType(kKeyNa));

    zovesk_test::LogCapture log;
    EXPECT_FALSE(root.isType(kKeyPort));
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "Trying to find type for NODE[NA], but it doesn't have one."));
}

}  // namespace
