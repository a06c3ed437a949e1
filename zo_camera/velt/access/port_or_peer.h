// Attributes that a port may leave to the port at the other end of its connection.
#ifndef ZO_CAMERA_VELT_ACCESS_PORT_OR_PEER_H
#define ZO_CAMERA_VELT_ACCESS_PORT_OR_PEER_H

#include "velt_graph_camera_util.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

// Reads the value under key from the port, else from its peer (logging that
// the peer's value is used). False when neither has it; value is then untouched.
template <typename Value>
bool readFromPortOrPeer(const IGraphConfig* port, unsigned key, Value& value) {
    if (port->getValue(key, value) == 0) {
        return true;
    }
    IGraphConfig* peer = nullptr;
    if (GraphCameraUtil::portGetPeer(port, &peer) != 0 || peer == nullptr ||
        peer->getValue(key, value) != 0) {
        return false;
    }
    ZO_MODULE_LOG(ZO_LOG_INFO, velt, "Using the peer's attribute value");
    return true;
}

}  // namespace VELT

#endif
