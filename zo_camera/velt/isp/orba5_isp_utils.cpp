// ORBA5: the DVS kernel override and pushing (compressed) formats onto peers.
#include "velt_isp_utils.h"

#include "velt_formats.h"
#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// The DVS kernel; without DVS it must not run.
constexpr uint32_t kDvsKernelUuid = 37235;
// Compressed format of the program group's ordinary inputs ("YUV420_8_PL_C").
constexpr uint32_t kCompressedInputFourcc = 0x43495955;
// Compressed format of the temporal noise reduction loop ("YUV420_8_SP_C_TNR").
constexpr uint32_t kCompressedTnrFourcc = 0x43543132;

bool isTnrPort(const IGraphConfig& port) {
    const std::string name = port.getName();
    return name == "tnr_output" || name == "tnr_input";
}

// Finds the peer that a format goes onto; logs when there is none.
Status peerForFormat(const IGraphConfig* port, IGraphConfig** peer) {
    const Status status = GraphCameraUtil::portGetPeer(port, peer);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "couldn't find peer for %s, cannot apply format.",
                      GraphCameraUtil::print(port).c_str());
    }
    return status;
}

Status setFormat(IGraphConfig* item, const std::string& format) {
    const Status status = item->setValue(kKeyFormat, format);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't set format %s for %s", format.c_str(),
                      GraphCameraUtil::print(item).c_str());
    }
    return status;
}

}  // namespace

Orba5IspUtils::~Orba5IspUtils() = default;

Status Orba5IspUtils::getKernelConfigurations(std::vector<KernelConfigContainer>& configs) const {
    return guardStatus(__func__, err_general, [&]() -> Status {
        if (mGraphConfig == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "velt isp utils uninitialized");
            return err_general;
        }
        if (getOrbaVersion() != kGdfVersionOrba5 || isDvsEnabled()) {
            return err_none;
        }
        KernelConfigContainer dvsOff{};
        dvsOff.mask = KernelConfigContainer::kEnable;
        dvsOff.kernel_uuid = kDvsKernelUuid;
        dvsOff.enable = kernel_enable_disabled;
        configs.push_back(dvsOff);
        return err_none;
    });
}

Status Orba5IspUtils::applyFormat(const IGraphConfig* port, const std::string& format) const {
    return guardStatus(__func__, err_general, [&]() -> Status {
        IGraphConfig* peer = nullptr;
        Status status = peerForFormat(port, &peer);
        if (status != err_none) {
            return status;
        }
        status = peer->setValue(kKeyFormat, format);
        // A peer that carries no format of its own takes it from the port.
        if (status == err_none || status == err_noentry) {
            return err_none;
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't set format %s for %s", format.c_str(),
                      GraphCameraUtil::print(peer).c_str());
        return status;
    });
}

Status Orba5IspUtils::applyCompression(const IGraphConfig* port, const std::string& format) const {
    return guardStatus(__func__, err_general, [&]() -> Status {
        if (!VELTFormats::isCompressedFormat(format)) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Trying to apply compression with non-compressed format %s",
                          format.c_str());
            return err_argument;
        }
        IGraphConfig* peer = nullptr;
        Status status = peerForFormat(port, &peer);
        if (status != err_none) {
            return status;
        }
        IGraphConfig* programGroup = peer->getAncestor();
        if (!hasTypeName(programGroup, "program_group")) {
            return err_data;
        }

        VELTFormats::initVELTFormats();
        VELTFormats::zo_format_t inputFormat;
        status = VELTFormats::getFormatByFourcc(kCompressedInputFourcc, inputFormat);
        if (status != err_none) {
            return status;
        }

        NodeIterator ports(programGroup);
        for (IGraphConfig* groupPort = ports.iterateByType(kKeyPort); groupPort != nullptr;
             groupPort = ports.iterateByType(kKeyPort)) {
            if (GraphCameraUtil::portGetDirection(groupPort) == 0 &&
                intOr(*groupPort, kKeyPrivate, 0) == 0) {
                // Best effort: an input whose producer cannot take the format keeps its own.
                (void)applyFormat(groupPort, inputFormat.name);
            }
            if (isTnrPort(*groupPort)) {
                VELTFormats::zo_format_t tnrFormat;
                status = VELTFormats::getFormatByFourcc(kCompressedTnrFourcc, tnrFormat);
                if (status != err_none) {
                    return status;
                }
                status = groupPort->setValue(kKeyFormat, tnrFormat.name);
                if (status != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't set format %s for %s",
                                  format.c_str(), GraphCameraUtil::print(groupPort).c_str());
                    return status;
                }
            }
        }
        return setFormat(peer, format);
    });
}

}  // namespace VELT
