// The module tag of the simulation support operations.
#ifndef ZO_CAMERA_VELT_KERNELS_PEK_SIM_LOG_H
#define ZO_CAMERA_VELT_KERNELS_PEK_SIM_LOG_H

namespace VELT {

constexpr const char kPekSimTag[] = "VELT_PEK_SIMULATION_UTILS[XOS]";

}  // namespace VELT

#endif
