// Unique port ids and port descriptions for buffer allocation.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/access/port_or_peer.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// Tags that keep the uid ranges of simulated, GPU and ISP program groups apart.
constexpr unsigned kSimulationUidTag = 0x4153;
constexpr unsigned kGpuUidTag = 0x4558;
constexpr unsigned kIspUidTag = 0x4730;

int descriptorFailure(const char* message) {
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", message);
    return err_data;
}

}  // namespace

int GraphCameraUtil::portGetFourCCInfo(const IGraphConfig* port, unsigned& uidBase,
                                       unsigned& portUid) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (port == nullptr) {
            return err_argument;
        }
        int portId = 0;
        if (port->getValue(kKeyId, portId) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get port(%s) id", print(port).c_str());
            return err_argument;
        }
        const IGraphConfig* programGroup = port->getAncestor();
        if (programGroup == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get port ancestor");
            return err_argument;
        }
        int pgId = 0;
        if (programGroup->getValue(kKeyPgId, pgId) != 0) {
            uidBase = 0;
            portUid = static_cast<unsigned>(portId);
            return err_none;
        }
        std::string simulation;
        std::string subsystem;
        unsigned tag = kIspUidTag;
        if (programGroup->getValue(kKeySimulation, simulation) == 0 && simulation == "true") {
            tag = kSimulationUidTag;
        } else if (programGroup->getValue(kKeySubsystem, subsystem) == 0 && subsystem == "gpu") {
            tag = kGpuUidTag;
        }
        uidBase = tag + static_cast<unsigned>(pgId) * 65536u;
        portUid = uidBase + static_cast<unsigned>(portId);
        return err_none;
    });
}

int GraphCameraUtil::portGetDescriptor(const IGraphConfig* port, PortDescriptor& descriptor) {
    return guardStatus(__func__, err_data, [&]() -> int {
        if (port == nullptr) {
            return descriptorFailure("Could not get ancestor");
        }
        descriptor.enabled = intOr(*port, kKeyEnabled, 1);
        if (port->getAncestor() == nullptr) {
            return descriptorFailure("Could not get ancestor");
        }
        if (getPgAndPortNames(*port, descriptor.programGroupName, descriptor.portName) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not get port(%s) and ancestor(%s)",
                          descriptor.portName.c_str(), descriptor.programGroupName.c_str());
            return err_data;
        }
        if (port->getValue(kKeyDirection, descriptor.direction) != 0) {
            return descriptorFailure("Could not get port direction");
        }
        unsigned uidBase = 0;
        if (portGetFourCCInfo(port, uidBase, descriptor.portUid) != 0) {
            return descriptorFailure("Could not get port uid");
        }
        if (descriptor.enabled == 0) {
            return err_none;
        }

        descriptor.width = 0;
        descriptor.height = 0;
        // Sizes and format come together from the port, or from its peer when the
        // port leaves them to the other end.
        const IGraphConfig* source = port;
        if (port->getValue(kKeyWidth, descriptor.width) != 0) {
            IGraphConfig* peer = nullptr;
            if (portGetPeer(port, &peer) != 0) {
                return descriptorFailure("Could not find peer port - Fix your graph");
            }
            if (peer->getValue(kKeyWidth, descriptor.width) != 0) {
                return descriptorFailure(
                    "Could not find port portDescriptor info: width (from peer)");
            }
            source = peer;
        }
        if (source->getValue(kKeyHeight, descriptor.height) != 0) {
            return descriptorFailure("Could not find port portDescriptor info: height");
        }
        if (source->getValue(kKeyFormat, descriptor.format) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find format for port %s",
                          descriptor.portName.c_str());
            return err_data;
        }
        return err_none;
    });
}

int GraphCameraUtil::portGetInfo(const IGraphConfig* port, unsigned& enabled, unsigned& uid) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid parameter, could not get port format");
            return err_argument;
        }
        ZO_MODULE_LOG(ZO_LOG_INFO, velt, "Getting port info for %s", print(port).c_str());

        int value = 1;  // enabled unless the port or its peer says otherwise
        readFromPortOrPeer(port, kKeyEnabled, value);
        if (value < 0) {
            return err_general;
        }
        enabled = static_cast<unsigned>(value);

        unsigned uidBase = 0;
        if (portGetFourCCInfo(port, uidBase, uid) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not get port uid");
            return err_noentry;
        }
        return err_none;
    });
}

}  // namespace VELT
