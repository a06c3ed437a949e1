/*
 * Sensor frame parameters for the 3A library: which part of the sensor's
 * pixel array ends up in the image and how it was scaled.
 */
#ifndef VELT_GRAPH_YAD_UTIL_H
#define VELT_GRAPH_YAD_UTIL_H

#include <memory>
#include <string>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_status.h"
#include "zo_yad_frame_params.h"

namespace VELT {

class ZO_EXPORT GraphYadUtil {
  public:
    // Crop offsets and size in pixel-array pixels and the scaling of the
    // graph's "sensor" (pixel array, binner, scaler). Zero binning or scaling
    // factors count as 1. params is written only on success; err_general
    // without sensor or pixel-array output, err_internal when a binner or
    // scaler lacks its "output".
    static Status getSensorFrameParams(zo_yad_frame_params& params,
                                       std::shared_ptr<const IGraphConfig> graph);
    // Frame parameters of one port (found by its ':' path from the graph): no
    // offset, the port's size, scaling 1/1. err_internal when the port is
    // missing or has no size; params is written only on success.
    static Status getPortFrameParams(zo_yad_frame_params& params,
                                     std::shared_ptr<const IGraphConfig> graph,
                                     const std::string& portName);
};

}  // namespace VELT

#endif /* VELT_GRAPH_YAD_UTIL_H */
