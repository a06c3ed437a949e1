// Dump text of run-kernel lists and resolution records.
#include "velt_qel_pek_utils.h"

#include <map>
#include <string>

#include "velt_graph_camera_util.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/run_kernel_dump.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"
#include "zo_rulo_memory.h"

namespace VELT {

namespace dump {

namespace {

constexpr size_t kResInfoTextSize = 256;
// One per thread, so builders on several threads do not write into each
// other's text: a returned text lives until the thread's next call.
thread_local char gResInfoText[kResInfoTextSize];

}  // namespace

const char* enableText(int32_t enable, Dialect dialect) {
    const bool list = dialect == Dialect::kernelList;
    switch (enable) {
        case kernel_enable_enabled:
            return list ? "ENABLED" : "[ENABLED]";
        case kernel_enable_disabled:
            return list ? "DISABLED" : "[DISABLED]";
        case kernel_enable_bypass:
            return list ? "BYPASS" : "[BYPASSED]";
        default:
            return list ? "NOT SUPPORTED" : "INVALID!!";
    }
}

const char* resolutionText(const zo_isp_qel_resolution_info& info, Dialect dialect) {
    const char* format = dialect == Dialect::kernelList
                             ? "(iw: %d ih: %d (l: %d, t: %d, r: %d, b: %d),ow: %d, oh: %d (l: %d, "
                               "t: %d, r: %d, b: %d)"
                             : "(iw: %d ih: %d (l: %d, t: %d, r: %d, b: %d), ow: %d, oh: %d (l: "
                               "%d, t: %d, r: %d, b: %d))";
    // Both formats take the twelve values in record order.
    zo_rulo_snprintf_s(gResInfoText, sizeof(gResInfoText), sizeof(gResInfoText), format,
                       info.input_width, info.input_height, info.input_crop.left,
                       info.input_crop.top, info.input_crop.right, info.input_crop.bottom,
                       info.output_width, info.output_height, info.output_crop.left,
                       info.output_crop.top, info.output_crop.right, info.output_crop.bottom);
    return gResInfoText;
}

void logRecordHeading(uint32_t kernelUuid, int32_t enable, Dialect dialect) {
    if (dialect == Dialect::kernelList) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "kernel_uuid: %d [%s (%d)]", static_cast<int>(kernelUuid),
                      enableText(enable, dialect), enable);
    } else {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "kernel_uuid: %d %s", static_cast<int>(kernelUuid),
                      enableText(enable, dialect));
    }
}

void logRecordBody(const zo_isp_qel_run_kernels& rk, Dialect dialect) {
    const bool list = dialect == Dialect::kernelList;
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "stream_id %d", static_cast<int>(rk.stream_id));
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "metadata: (%d %d %d %d)", static_cast<int>(rk.metadata[0]),
                  static_cast<int>(rk.metadata[1]), static_cast<int>(rk.metadata[2]),
                  static_cast<int>(rk.metadata[3]));
    if (rk.resolution_info == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "res info: NULL");
    } else if (list) {
        QelPekUtils::dumpResInfo(rk);
    } else {
        // The inner-graph dump shows the first output's record only.
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "res_info: %s",
                      resolutionText(*rk.resolution_info, dialect));
    }
    if (rk.resolution_history == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "res history: NULL");
    } else if (list) {
        QelPekUtils::dumpResHistory(*rk.resolution_history, "resolution_history");
    } else {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "res_history: %s",
                      resolutionText(*rk.resolution_history, dialect));
    }
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "bpp_info in:%d out:%d",
                  static_cast<int>(rk.bpp_info.input_bpp),
                  static_cast<int>(rk.bpp_info.output_bpp));
}

}  // namespace dump

const char* QelPekUtils::resInfoToStr(const zo_isp_qel_resolution_info& info) {
    return dump::resolutionText(info, dump::Dialect::kernelList);
}

void QelPekUtils::dumpResHistory(const zo_isp_qel_resolution_info& info, const char* name) {
    guardVoid(__func__,
              [&] { ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s:%s", name, resInfoToStr(info)); });
}

void QelPekUtils::dumpResInfo(const zo_isp_qel_run_kernels& rk) {
    guardVoid(__func__, [&] {
        if (rk.resolution_info == nullptr) {
            return;
        }
        if (rk.output_count == 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "res_info: %s", resInfoToStr(*rk.resolution_info));
            return;
        }
        for (uint32_t i = 0; i < rk.output_count; ++i) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "res_info[%d]: %s", static_cast<int>(i),
                          resInfoToStr(rk.resolution_info[i]));
        }
    });
}

void QelPekUtils::dumpKernels(const zo_isp_qel_run_kernels* kernels, unsigned count) {
    guardVoid(__func__, [&] {
        if (kernels == nullptr) {
            return;
        }
        for (unsigned i = 0; i < count; ++i) {
            const zo_isp_qel_run_kernels& rk = kernels[i];
            if (i > 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "-------------------------------------------------------");
            }
            dump::logRecordHeading(rk.kernel_uuid, rk.enable, dump::Dialect::kernelList);
            dump::logRecordBody(rk, dump::Dialect::kernelList);
        }
    });
}

void QelPekUtils::dumpPortResHistoryMap(const PortHistoryMap& portHistories) {
    guardVoid(__func__, [&] {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s", "dumpPortResHistoryMap");
        if (!zo_log::wanted(ZO_LOG_ERROR)) {
            // Printing every port's name is the cost; nobody would see the lines.
            return;
        }
        // By printed name: the map's own order is that of the ports' addresses,
        // which differs from run to run.
        std::multimap<std::string, const zo_isp_qel_resolution_info*> byName;
        for (const auto& entry : portHistories) {
            byName.emplace(GraphCameraUtil::print(entry.first), &entry.second);
        }
        for (const auto& entry : byName) {
            dumpResHistory(*entry.second, entry.first.c_str());
        }
    });
}

}  // namespace VELT
