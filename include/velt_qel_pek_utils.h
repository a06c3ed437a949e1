/*
 * The kernel-list builder for the ISP configuration library: run-kernel lists
 * per execution context and per program group, with each kernel's resolution
 * and the resolution history in front of it.
 *
 * This header holds the parts that need no built lists: the resolution
 * histories of image sources, the readers of a kernel's values from the graph
 * (shared with the subgraph path) and the dump text of run-kernel lists.
 */
#ifndef VELT_QEL_PEK_UTILS_H
#define VELT_QEL_PEK_UTILS_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_status.h"
#include "zo_isp_qel_records.h"

namespace VELT {

class ZO_EXPORT QelPekUtils {
  public:
    // Resolution history of the image at a port, keyed by the port node.
    using PortHistoryMap = std::map<const IGraphConfig*, zo_isp_qel_resolution_info>;

    // One run-kernel array and its number of records.
    struct KernelGroupInfo {
        zo_isp_qel_run_kernels* kernels;
        uint32_t count;
    };

    // The resolution records of one execution context: slot i uses histories[i]
    // as its history and, when it has its own resolution, infos[i].
    struct ResolutionMemPool {
        std::vector<zo_isp_qel_resolution_info*> histories;
        std::vector<zo_isp_qel_resolution_info*> infos;
    };

    // What the list build needs to remember about one kernel.
    struct KernelInfo {
        int32_t rcb;
        int32_t branch_point;
        int32_t sink_port;
        int32_t restore_point;
        IGraphConfig* sinkPortNode;  // the program group's port with id sink_port, or null
        IGraphConfig* sourceNode;    // the node the kernel's "source" names, or null
    };

    // The stages of a sensor mode. Only left and top crops are read from the
    // graph; right and bottom repeat them.
    struct SensorModeInfo {
        zo_isp_qel_resolution_info pixelArray;
        zo_isp_qel_resolution_info binner;
        int32_t binningH;
        int32_t binningV;
        zo_isp_qel_resolution_info scaler;
        int32_t scalingNumerator;  // scaling is output over input
        int32_t scalingDenominator;
    };

    /* --- Source resolution histories --- */

    // The history of an image source, chosen by the source's name: "sensor",
    // "tpg" or a name containing "buffer_src". err_notsupported for any other.
    static Status sourceGetResolutionHistory(zo_isp_qel_resolution_info& history,
                                             IGraphConfig& source);
    // Sensor history: pixel-array input size with the crops of every stage
    // (binner, scaler, CSI back end) in pixel-array pixels; output is the size
    // leaving the CSI back end.
    static Status calculateSensorResolutionHistory(IGraphConfig& sensor,
                                                   zo_isp_qel_resolution_info& history);
    // Test pattern generator history: the CSI back end's input and output.
    static Status calculateTPGResolutionHistory(IGraphConfig& tpg,
                                                zo_isp_qel_resolution_info& history);
    // Input buffer history: the size of its "port_0", no crop.
    static Status calculateBufSrcResolutionHistory(IGraphConfig& bufferSource,
                                                   zo_isp_qel_resolution_info& history);
    // Reads the sensor's stages into info, which the caller passes zeroed with
    // binning 1/1 and scaling 1/1. A missing stage "input" or "output" child
    // ends the read early with success.
    static Status getSensorModeInfo(IGraphConfig& sensor, SensorModeInfo& info);
    // The CSI back end fed by a source port: its input size and crop and its
    // output size. All zero when the port's peer has no parent.
    static Status getCsiDimensions(IGraphConfig& sourcePort, zo_isp_qel_resolution_info& csi);
    // Adds crop * multiplier / divisor to every edge of total, keeping four
    // fractional bits through the division. A zero divisor adds nothing.
    static void accumulateCrop(zo_rectangle& total, const zo_rectangle& crop, int divisor,
                               int multiplier);
    // The history entering a program group fed by another one: the entry of
    // portHistories for the peer of the group's "input" port. Left unchanged
    // (with a warning) when the peer has no entry; err_general when the group
    // has no input or the input no peer.
    static Status getResHistoryForIntermediatePg(const IGraphConfig* programGroup,
                                                 zo_isp_qel_resolution_info& history,
                                                 const PortHistoryMap& portHistories);

    /* --- Kernel readers --- */

    // Reads a kernel's values into every non-null output: metadata (room for four
    // values; a longer or malformed list is refused with err_data), rcb (0),
    // branch point (0), restore point (-1), enabled (1), pal uuid and id
    // (required: their read failure is returned) and sink port (-1); defaults in
    // brackets. err_argument for a null kernel.
    static Status kernelGetValues(const IGraphConfig* kernel, int* palUuid, int* kernelId,
                                  unsigned* metadata, int* enable, int* rcb, int* branchPoint,
                                  int* sinkPort, int* restorePoint);
    // The "bpp" of the kernel's "input" and "output" children into rk.bpp_info
    // (0 when unreadable); a missing child leaves its value as it was.
    static Status kernelGetBppInfo(const IGraphConfig& kernel, zo_isp_qel_run_kernels& rk);
    // True when the kernel has an "input" with a width and an "output" with a
    // width or with output children of its own.
    static bool kernelHasResolutions(const IGraphConfig* kernel);
    // The kernel's single resolution into *info; an unreadable output crop is
    // all zero. err_argument when something required is missing.
    static Status kernelGetResolutions(const IGraphConfig* kernel,
                                       zo_isp_qel_resolution_info* info);
    // The kernel's resolutions keyed by output: "" for a single output, else the
    // name of each output child. Entries of the same name are overwritten.
    // err_argument on a missing or unreadable part, or when infos stays empty.
    static Status kernelGetResolutions(const IGraphConfig* kernel,
                                       std::map<std::string, zo_isp_qel_resolution_info>& infos);

    /* --- Dumps (all through the log) --- */

    // The one-line text of a resolution record, in one process-wide buffer that
    // the next call overwrites.
    static const char* resInfoToStr(const zo_isp_qel_resolution_info& info);
    // "<name>:<text>".
    static void dumpResHistory(const zo_isp_qel_resolution_info& info, const char* name);
    // The run kernel's own resolution record(s).
    static void dumpResInfo(const zo_isp_qel_run_kernels& rk);
    // Every record of a run-kernel array.
    static void dumpKernels(const zo_isp_qel_run_kernels* kernels, unsigned count);
    // Every port history, under the port's printed name.
    static void dumpPortResHistoryMap(const PortHistoryMap& portHistories);
};

}  // namespace VELT

#endif /* VELT_QEL_PEK_UTILS_H */
