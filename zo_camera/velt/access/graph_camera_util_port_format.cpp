// Port formats for buffer allocation: fourcc, bytes per line and bits per
// pixel from a port's "format", sizes and "bpl", and number texts as
// little-endian byte arrays.

#include <string>

#include "velt_formats.h"
#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_camera/velt/access/port_or_peer.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {
namespace {

constexpr const char* kDefaultFormat = "YUV420_8_SP";

// The fourcc spelled by the first four characters of a format text; a
// shorter text leaves the remaining low bytes 0.
unsigned fourccOfText(const std::string& text) {
    unsigned code = 0;
    for (size_t i = 0; i < 4; ++i) {
        const unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        code = (code << 8) | c;
    }
    return code;
}

// The record for a format text: by name, else by the fourcc its first four
// characters spell (stored in fourcc), else the default format.
int resolveFormat(const std::string& text, unsigned& fourcc, VELTFormats::zo_format_t& format) {
    if (VELTFormats::getFormatByName(text, format) == 0) {
        return err_none;
    }
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                  "Error: Couldn't find format %s from the formats XML. Fallback to fourcc.",
                  text.c_str());
    fourcc = fourccOfText(text);
    if (VELTFormats::getFormatByFourcc(fourcc, format) == 0) {
        return err_none;
    }
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                  "Error: Couldn't find  format by fourcc. Try defaulting to "
                  "YUV420_8_SP(NV12)");
    const int result = VELTFormats::getFormatByName(kDefaultFormat, format);
    if (result != 0) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "Error: Couldn't find default format YUV420_8_SP from the formats "
                      "XML.");
    }
    return result;
}

// Reads a size of the port (else of its peer) into out. Returns false when
// neither has it (out keeps its value) and a negative size as err_general.
int readSize(const IGraphConfig* port, unsigned key, const char* missingMessage, unsigned& out,
             bool& incomplete) {
    int value = 0;
    if (!readFromPortOrPeer(port, key, value)) {
        ZO_MODULE_LOG(ZO_LOG_INFO, velt, "%s", missingMessage);
        incomplete = true;
        return err_none;
    }
    if (value < 0) {
        return err_general;
    }
    out = static_cast<unsigned>(value);
    return err_none;
}

}  // namespace

int GraphCameraUtil::portGetFormat(const IGraphConfig* port, unsigned& enabled, unsigned& uid,
                                   unsigned& width, unsigned& height, unsigned& fourcc,
                                   unsigned& bpl, unsigned& bpp) {
    return guardStatus(__func__, err_general, [&]() -> int {
        int result = portGetInfo(port, enabled, uid);
        if (result != 0) {
            return result;
        }
        if (enabled == 0) {
            return err_none;
        }

        bool incomplete = false;
        result =
            readSize(port, kKeyWidth, "Could not find port format info: width", width, incomplete);
        if (result != 0) {
            return result;
        }
        result = readSize(port, kKeyHeight, "Could not find port format info: height", height,
                          incomplete);
        if (result != 0) {
            return result;
        }

        std::string text;
        if (readFromPortOrPeer(port, kKeyFormat, text)) {
            VELTFormats::initVELTFormats();
            VELTFormats::zo_format_t format;
            result = resolveFormat(text, fourcc, format);
            if (result != 0) {
                return result;
            }
            fourcc = format.fourcc;
            bpp = format.bpp;
            bpl = VELTFormats::getBpl(format, width);
            ZO_MODULE_LOG(ZO_LOG_INFO, velt, "bpl set to %d for %s", static_cast<int>(bpl),
                          format.name.c_str());
        } else {
            ZO_MODULE_LOG(ZO_LOG_INFO, velt, "Could not find port format info. port: %s",
                          print(port).c_str());
            incomplete = true;
        }

        // Settings may fix the stride, e.g. for buffers shared with other hardware.
        int settingsBpl = 0;
        if (readFromPortOrPeer(port, kKeyBpl, settingsBpl)) {
            ZO_MODULE_LOG(ZO_LOG_INFO, velt, "Overwriting bpl(%d) from settings %d",
                          static_cast<int>(bpl), settingsBpl);
            if (settingsBpl < 0) {
                return err_general;
            }
            bpl = static_cast<unsigned>(settingsBpl);
        }

        // Private ports are not allocated by the caller: missing parts do not matter.
        int isPrivate = 0;
        if (readFromPortOrPeer(port, kKeyPrivate, isPrivate) && isPrivate == 1) {
            return err_none;
        }
        if (incomplete) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Part of the port configuration is missing!");
            return err_general;
        }
        return err_none;
    });
}

std::string GraphCameraUtil::portGetPeerFormat(const IGraphConfig* port) {
    return guardValue<std::string>(__func__, std::string(), [&]() -> std::string {
        IGraphConfig* peer = nullptr;
        if (portGetPeer(port, &peer) != 0 || peer == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find peer port - Fix your graph");
            return std::string();
        }
        ZO_MODULE_LOG(ZO_LOG_INFO, velt, "port: %s, peer: %s", print(port).c_str(),
                      print(peer).c_str());
        VELTFormats::initVELTFormats();

        std::string name;
        std::string text;
        if (readFromPortOrPeer(peer, kKeyFormat, text)) {
            VELTFormats::zo_format_t format;
            if (VELTFormats::getFormatByName(text, format) != 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Error: Couldn't find format %s from the formats XML.Try "
                              "defaulting to YUV420_8_SP(NV12)",
                              text.c_str());
                if (VELTFormats::getFormatByName(kDefaultFormat, format) == 0) {
                    name = format.name;
                }
            } else {
                name = format.name;
            }
        } else {
            ZO_MODULE_LOG(ZO_LOG_INFO, velt, "Could not find port format info. port: %s",
                          print(peer).c_str());
        }
        ZO_MODULE_LOG(ZO_LOG_INFO, velt, "Getting port info for %s, format %s", print(port).c_str(),
                      name.c_str());
        return name;
    });
}

int GraphCameraUtil::applyFormat(const IGraphConfig* port, const std::string& format) {
    return guardStatus(__func__, err_data, [&]() -> int {
        IGraphConfig* peer = nullptr;
        if (portGetPeer(port, &peer) != 0 || peer == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "couldn't find peer for %s", print(port).c_str());
            return err_data;
        }
        // Without an option list for "format" the peer keeps its value: nothing to apply.
        const int result = peer->setValue(kKeyFormat, format);
        if (result == err_none || result == err_noentry) {
            return err_none;
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't set format %s for %s", format.c_str(),
                      print(port).c_str());
        return result;
    });
}

}  // namespace VELT
