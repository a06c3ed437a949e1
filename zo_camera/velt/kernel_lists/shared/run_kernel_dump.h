// The text of run-kernel dumps, shared by both kernel-list builders.
//
// The builders dump the same records in two dialects: the kernel-list dump
// of the execution-context path, and the inner-graph dump of the subgraph
// path, which brackets the enable state, names the history "res_history" and
// closes the resolution text with a parenthesis of its own. The dialect is a
// parameter of one set of functions, so the record is walked in one place.
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_RUN_KERNEL_DUMP_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_RUN_KERNEL_DUMP_H

#include <cstdint>

#include "zo_isp_qel_records.h"

namespace VELT {
namespace dump {

enum class Dialect {
    kernelList,  // "ENABLED", "(iw: ... b: %d),ow: ... b: %d)"
    innerGraph,  // "[ENABLED]", "(iw: ... b: %d), ow: ... b: %d))"
};

// The name of an enable state.
const char* enableText(int32_t enable, Dialect dialect);
// The one-line text of a resolution record, in a buffer of the calling thread
// that the thread's next call overwrites.
const char* resolutionText(const zo_isp_qel_resolution_info& info, Dialect dialect);
// The first line of a record's dump: its kernel and enable state.
void logRecordHeading(uint32_t kernelUuid, int32_t enable, Dialect dialect);
// The rest of a record's dump: stream, metadata, resolutions and bpp.
void logRecordBody(const zo_isp_qel_run_kernels& rk, Dialect dialect);

}  // namespace dump
}  // namespace VELT

#endif
