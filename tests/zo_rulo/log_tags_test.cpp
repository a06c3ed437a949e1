// The module tag table: one row per module, and the tags its messages carry.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "support/log_capture.h"
#include "velt_formats.h"
#include "velt_parser.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo_memory.h"

namespace {

using zo_log::Module;

struct TagCase {
    Module module;
    const char* tag;
};

// Every module's tag as receivers of the log match it, character for character.
const TagCase kTagCases[] = {
    {Module::velt, "VELT[XOS]"},
    {Module::veltParser, "VELT_PARSER[XOS]"},
    {Module::veltFormats, "VELTFormats[XOS]"},
    {Module::veltYadUtils, "VELT_YAD_UTILS[XOS]"},
    {Module::veltPekSimulationUtils, "VELT_PEK_SIMULATION_UTILS[XOS]"},
    {Module::psysFormatUtils, "XOS_PSYS_FORMAT_UTILS[XOS]"},
    {Module::dec400UtilWrapper, "ZO_DEC400_UTIL_WRAPPER[XOS]"},
    {Module::zoLog, "ZO_LOG[XOS]"},
    {Module::zoList, "ZO_LIST[XOS]"},
    {Module::ruloAlloc, "RULO_ALLOC[XOS]"},
    {Module::ruloString, "RULO_STRING[XOS]"},
    {Module::memoryCommon, "MEMORY_COMMON[XOS]"},
    {Module::ruloAndroid, "ZO_RULO_ANDROID[XOS]"},
    {Module::ruloDump, "rulo_dump[XOS]"},
};

TEST(LogTags, EveryModuleCarriesItsOwnTag) {
    std::set<std::string> seen;
    for (const TagCase& tagCase : kTagCases) {
        const std::string tag = zo_log::tag(tagCase.module);
        EXPECT_EQ(tagCase.tag, tag);
        EXPECT_TRUE(seen.insert(tag).second) << tag << " names two modules";
    }
    EXPECT_EQ(sizeof(kTagCases) / sizeof(kTagCases[0]),
              sizeof(zo_log::kCategories) / sizeof(zo_log::kCategories[0]));
}

struct ModuleMessageCase {
    const char* what;
    std::function<void()> call;
    Module module;
};

// A failure of each kind of module is reported under that module's row.
TEST(LogTags, MessagesOfEachModuleCarryItsRow) {
    const ModuleMessageCase cases[] = {
        {"kernel lists",
         [] {
             VELT::QelPekUtils builder(true);
             zo_isp_qel_program_group group{};
             builder.getProgramGroup(-1, group);
         },
         Module::velt},
        {"document reader",
         [] {
             VELT::VELTParser parser;
             VELT::IGraphConfig* tree = nullptr;
             parser.parseVELTXmlFile("/nonexistent/graph_settings.xml", &tree);
             delete tree;
         },
         Module::veltParser},
        {"format table",
         [] {
             VELTFormats::zo_format_t format{};
             VELTFormats::getFormatByName("NO_SUCH_FORMAT", format);
         },
         Module::veltFormats},
        {"memory wrappers",
         [] {
             char destination[4] = {};
             const char source[8] = "abcdefg";
             zo_rulo_memcopy(destination, sizeof(destination), source, sizeof(source));
         },
         Module::ruloAlloc},
    };
    for (const ModuleMessageCase& c : cases) {
        zovesk_test::LogCapture log;
        c.call();
        size_t reports = 0;
        for (const auto& record : log.records()) {
            // The memory wrappers trace every allocation under their own row.
            if (record.level == ZO_LOG_ALLOC) {
                continue;
            }
            ++reports;
            EXPECT_EQ(zo_log::tag(c.module), record.tag) << c.what << ": " << record.message;
        }
        EXPECT_GT(reports, 0u) << c.what;
    }
}

}  // namespace
