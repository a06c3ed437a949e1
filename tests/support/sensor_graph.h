// Builds the sensor side of a result graph: a sensor with pixel array, binner
// and scaler stages, and the CSI back end that its "port_0" feeds.
#ifndef ZOVESK_TESTS_KERNELS_SENSOR_GRAPH_H
#define ZOVESK_TESTS_KERNELS_SENSOR_GRAPH_H

#include <string>

#include "support/graph_builder.h"
#include "velt_graph_config_node.h"

namespace zovesk_test {

struct Crop {
    int left;
    int top;
    int right;
    int bottom;
};

// A child holding width and height.
inline VELT::GraphConfigNode* addSize(VELT::GraphConfigNode* parent, const std::string& name,
                                      int width, int height) {
    VELT::GraphConfigNode* child = addChild(parent, name);
    addInt(child, "width", width);
    addInt(child, "height", height);
    return child;
}

// A child holding width, height and the four crops.
inline VELT::GraphConfigNode* addSized(VELT::GraphConfigNode* parent, const std::string& name,
                                       int width, int height, const Crop& crop) {
    VELT::GraphConfigNode* child = addSize(parent, name, width, height);
    addInt(child, "left", crop.left);
    addInt(child, "top", crop.top);
    addInt(child, "right", crop.right);
    addInt(child, "bottom", crop.bottom);
    return child;
}

// A stage with its factors: "binner" gets h_factor/v_factor, "scaler"
// num_factor/denom_factor.
inline VELT::GraphConfigNode* addBinner(VELT::GraphConfigNode* sensor, int h, int v) {
    VELT::GraphConfigNode* binner = addChild(sensor, "binner");
    addInt(binner, "h_factor", h);
    addInt(binner, "v_factor", v);
    return binner;
}

inline VELT::GraphConfigNode* addScaler(VELT::GraphConfigNode* sensor, int num, int denom) {
    VELT::GraphConfigNode* scaler = addChild(sensor, "scaler");
    addInt(scaler, "num_factor", num);
    addInt(scaler, "denom_factor", denom);
    return scaler;
}

// A CSI back end "csi_be" whose "input" port is fed by source:port_0, with an
// "output" of the given size; returns the block.
inline VELT::GraphConfigNode* addCsiBackEnd(VELT::GraphConfigNode* root, const std::string& source,
                                            int width, int height) {
    VELT::GraphConfigNode* csi = addBlock(root, "csi_be", "hw");
    addPort(csi, "input", 0, 0, source + ":port_0");
    VELT::GraphConfigNode* output = addPort(csi, "output", 1, 1);
    addInt(output, "width", width);
    addInt(output, "height", height);
    return csi;
}

}  // namespace zovesk_test

#endif
