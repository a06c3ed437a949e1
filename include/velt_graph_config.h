/*
 * IGraphConfig: the interface through which every part of the library reads
 * and writes a configuration tree. A document, a result graph or any node
 * inside them is handed around as an IGraphConfig pointer; GraphConfigNode
 * (velt_graph_config_node.h) is its implementation, reached from the
 * interface with static_cast.
 */
#ifndef VELT_GRAPH_CONFIG_H
#define VELT_GRAPH_CONFIG_H

#include <cstdint>
#include <string>

#include "velt_export.h"
#include "velt_item_uid.h"

namespace VELT {

/*
 * A node of a configuration tree. Paths (ItemUID) are applied from their first
 * key, starting at the node the operation is called on. Status results are 0
 * on success and a negative code of velt_status.h on failure. Deleting a node
 * through this interface deletes it with its subtree; the holder of a root
 * deletes the whole tree that way.
 */
class ZO_EXPORT IGraphConfig {
  public:
    virtual ~IGraphConfig();

    /* The topmost node of the tree; a root returns itself. */
    virtual IGraphConfig* getRoot() const = 0;
    /* The parent node, or null for a root. */
    virtual IGraphConfig* getAncestor() const = 0;
    /* Number of items (nodes and attributes) stored in this node. */
    virtual int getDescendantCount() const = 0;
    /* The first item under key when it is a node, otherwise null. */
    virtual IGraphConfig* getDescendant(uint32_t key) const = 0;
    /*
     * Resolves a path: the deepest node when every key names a node; the node
     * holding the attribute when the last key (not the first) names one; null
     * for an empty path and any other failure.
     */
    virtual IGraphConfig* getDescendant(const ItemUID& path) const = 0;
    /* getDescendant(ItemUID(path)) for a path text with ':' separators. */
    virtual IGraphConfig* getDescendantByString(const std::string& path) const = 0;

    /*
     * The value of the first item under key: 0 for an integer attribute,
     * -2 without an item, -64 for any other item (value left untouched).
     */
    virtual int getValue(uint32_t key, int& value) const = 0;
    /*
     * The integer value at the end of a path: a one-key path reads this node,
     * a longer one the node that getDescendant(path) resolves (-32 when none).
     */
    virtual int getValue(const ItemUID& path, int& value) const = 0;
    /*
     * The text of the first item under key: 0 for a string attribute, -2
     * without an item, -64 for any other item (value left untouched).
     */
    virtual int getValue(uint32_t key, std::string& value) const = 0;
    /* The text at the end of a path, resolved as for the integer form. */
    virtual int getValue(const ItemUID& path, std::string& value) const = 0;

    /*
     * Stores value into the existing integer attribute under key, but only
     * where the attribute's option list admits it: -64 without an attribute
     * or without an admitting option (value kept), -32 for an attribute of
     * another kind.
     */
    virtual int setValue(uint32_t key, int value) = 0;
    /*
     * setValue at the end of a path: a one-key path means this node, a longer
     * one the node getDescendant(path) resolves (-64 when none).
     */
    virtual int setValue(const ItemUID& path, int value) = 0;
    /* The text form of setValue(key, int), for string attributes. */
    virtual int setValue(uint32_t key, const std::string& value) = 0;
    /* The text form of setValue(path, int). */
    virtual int setValue(const ItemUID& path, const std::string& value) = 0;

    /* The dictionary name of the key this node is stored under; "NA" for a root. */
    virtual std::string getName() const = 0;
    /* The key this node is stored under in its parent; 0 for a root. */
    virtual uint32_t getUid() const = 0;
    /*
     * True when the node's string attribute "type" names the key typeKey
     * (str2key of the text equals it). A node without "type" logs a warning
     * and answers false.
     */
    virtual bool isType(uint32_t typeKey) const = 0;

  protected:
    IGraphConfig() = default;
    IGraphConfig(const IGraphConfig&) = default;
    IGraphConfig& operator=(const IGraphConfig&) = default;
};

}  // namespace VELT

#endif /* VELT_GRAPH_CONFIG_H */
