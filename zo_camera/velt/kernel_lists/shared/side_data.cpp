// Sensor and stream side data stored in the graph: CMC tag, DOL mode with
// conversion gain, and MBR limits.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "velt_qel_pek_utils.h"

#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

constexpr size_t kMbrRows = 7;
constexpr size_t kMbrColumns = 8;
constexpr size_t kMbrValues = kMbrRows * kMbrColumns;

// Every comma closes a piece, even an empty one; the rest after the last
// comma is a piece only when it is not empty.
std::vector<std::string> splitMbrList(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', start)) {
        pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    if (start < text.size()) {
        pieces.push_back(text.substr(start));
    }
    return pieces;
}

// A decimal number, or false when the text does not start with one.
bool parseFloat(const std::string& text, float& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const float parsed = std::strtof(begin, &end);
    if (end == begin) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace

Status QelPekUtils::sideDataSource(const IGraphConfig*& source) const {
    if (graphRoot == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: QelPekUtils not initialized.");
        return err_internal;
    }
    source = graphRoot->getDescendant(kKeySensor);
    if (source == nullptr) {
        source = graphRoot->getDescendant(kKeyBufferSrc0);
    }
    if (source == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "Error: Couldn't find any source (sensor or buf src). Check your "
                      "settings.");
        return err_internal;
    }
    return err_none;
}

Status QelPekUtils::getSensorCmcId(std::string& cmcId) {
    return guardStatus(__func__, err_data, [&]() -> Status {
        const IGraphConfig* source = nullptr;
        Status status = sideDataSource(source);
        if (status != err_none) {
            return status;
        }
        cmcId.clear();
        if (source->getValue(kKeyCmcTag, cmcId) != err_none || cmcId.empty()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: Couldn't get cmc tag. Check your settings.");
            return err_data;
        }
        return err_none;
    });
}

Status QelPekUtils::getDolInfo(float& conversionGain, std::string& dolMode) {
    return guardStatus(__func__, err_data, [&]() -> Status {
        const IGraphConfig* source = nullptr;
        Status status = sideDataSource(source);
        if (status != err_none) {
            return status;
        }
        conversionGain = 1.0f;
        dolMode.clear();
        std::string gainText;
        if (source->getValue(kKeyConversionGain, gainText) != err_none || gainText.empty()) {
            return err_none;
        }
        if (source->getValue(kKeyDolMode, dolMode) != err_none || dolMode.empty()) {
            return err_none;
        }
        if (!parseFloat(gainText, conversionGain)) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: conversion gain %s is not a number",
                          gainText.c_str());
            return err_data;
        }
        return err_none;
    });
}

Status QelPekUtils::getMbrData(int streamId, zo_view_mbr_limits_t* limits) {
    return guardStatus(__func__, err_data, [&]() -> Status {
        if (limits == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: QelPekUtils not initialized.");
            return err_internal;
        }
        const IGraphConfig* source = nullptr;
        Status status = sideDataSource(source);
        if (status != err_none) {
            return status;
        }
        std::memset(limits, 0, sizeof(*limits));
        IGraphConfig* mbr = graphRoot->getDescendant(kKeyMbrData);
        if (mbr == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "MBR limits data not found at all");
            return err_data;
        }
        const IGraphConfig* stream = nullptr;
        NodeIterator streams(mbr);
        for (IGraphConfig* child = streams.iterateByUid(kKeyStreamId); child != nullptr;
             child = streams.iterateByUid(kKeyStreamId)) {
            int id = 0;
            if (child->getValue(kKeyId, id) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "MBR limits data has no stream id associated - check your "
                              "settings");
                return err_data;
            }
            if (id == streamId) {
                stream = child;
                break;
            }
        }
        if (stream == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "MBR limits data not found for stream-id %d",
                          streamId);
            return err_data;
        }
        std::string text;
        status = stream->getValue(kKeyValue, text);
        if (status != err_none) {
            return status;
        }
        const std::vector<std::string> pieces = splitMbrList(text);
        if (pieces.size() != kMbrValues) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "MBR data size (%zu) does not match expected size (%zu)", pieces.size(),
                          kMbrValues);
        }
        if (pieces.empty()) {
            return err_data;
        }
        for (size_t row = 0; row < kMbrRows; ++row) {
            if (pieces.size() < (row + 1) * kMbrColumns) {
                return err_data;
            }
            for (size_t column = 0; column < kMbrColumns; ++column) {
                const std::string& piece = pieces[row * kMbrColumns + column];
                if (!parseFloat(piece, limits->limits[row][column])) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "MBR value '%s' is not a number",
                                  piece.c_str());
                    return err_data;
                }
            }
        }
        return err_none;
    });
}

}  // namespace VELT
