/*
 * Hardware-generation utilities: what differs between the generations of the
 * imaging hardware (ORBA5, ORBA6, ORBA7). One instance is made per graph with
 * IspUtils::Factory(); it tells the graph's generation, whether DVS is on,
 * which run-kernel overrides apply, and how a (compressed) format is pushed
 * onto a port's peer.
 */
#ifndef VELT_ISP_UTILS_H
#define VELT_ISP_UTILS_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_kernel_config_container.h"
#include "velt_status.h"

namespace VELT {

// Hardware generation a graph was written for; compared numerically (6 and
// later take the subgraph path).
enum GdfVersion : int32_t {
    kGdfVersionNone = 0,  // the graph names no supported generation
    kGdfVersionOrba5 = 5,
    kGdfVersionOrba6 = 6,
    kGdfVersionOrba7 = 7
};

class ZO_EXPORT IspUtils {
  public:
    virtual ~IspUtils();
    // True when the graph's integer "dvs" is non-zero (missing counts as 0).
    virtual bool isDvsEnabled() const = 0;
    // The generation detected by the factory.
    virtual GdfVersion getOrbaVersion() const = 0;
    // Appends the run-kernel overrides this generation needs for the graph;
    // err_notsupported where the generation has none to offer.
    virtual Status getKernelConfigurations(std::vector<KernelConfigContainer>& configs) const = 0;
    // Sets "format" on the port's peer; err_notsupported on other generations.
    virtual Status applyFormat(const IGraphConfig* port, const std::string& format) const = 0;
    // Pushes a compressed format onto the port's peer and the formats it implies
    // onto the peer's program group; err_notsupported on other generations.
    virtual Status applyCompression(const IGraphConfig* port, const std::string& format) const = 0;

    // Detects the generation from the graph's "graph":"version" text and makes
    // the matching instance (Orba4IspUtils when none is named). Empty for a
    // null graph. The instance keeps a plain pointer to the graph, which must
    // outlive it.
    static std::shared_ptr<IspUtils> Factory(const IGraphConfig* graph);
};

// The generation-independent part: the graph and its generation.
class ZO_EXPORT IspUtilsCommon : public IspUtils {
  public:
    IspUtilsCommon();
    IspUtilsCommon(const IGraphConfig* graph, GdfVersion version);
    ~IspUtilsCommon() override;
    // True when "dvs" is non-zero; logs and answers true without a graph.
    bool isDvsEnabled() const override;
    GdfVersion getOrbaVersion() const override;

  protected:
    const IGraphConfig* mGraphConfig;  // not owned
    GdfVersion mOrbaVersion;
};

// Graphs that name no supported generation: nothing is supported.
class ZO_EXPORT Orba4IspUtils : public IspUtilsCommon {
  public:
    using IspUtilsCommon::IspUtilsCommon;
    ~Orba4IspUtils() override;
    Status getKernelConfigurations(std::vector<KernelConfigContainer>& configs) const override;
    Status applyFormat(const IGraphConfig* port, const std::string& format) const override;
    Status applyCompression(const IGraphConfig* port, const std::string& format) const override;
};

class ZO_EXPORT Orba5IspUtils : public IspUtilsCommon {
  public:
    using IspUtilsCommon::IspUtilsCommon;
    ~Orba5IspUtils() override;
    // Without DVS, adds one override that disables the DVS kernel (pal uuid
    // 37235). err_general without a graph.
    Status getKernelConfigurations(std::vector<KernelConfigContainer>& configs) const override;
    // Sets the peer's "format"; a peer without that attribute is not an error.
    // Returns the peer lookup's or setValue's failure.
    Status applyFormat(const IGraphConfig* port, const std::string& format) const override;
    // For a port whose peer sits in a program group: the group's non-private
    // input ports get "YUV420_8_PL_C" on their peers, its TNR ports get
    // "YUV420_8_SP_C_TNR", and the peer gets format. err_argument for a format
    // that is not compressed, err_data when the peer is not in a program group.
    // Formats set before a failure stay set.
    Status applyCompression(const IGraphConfig* port, const std::string& format) const override;
};

class ZO_EXPORT Orba6IspUtils : public IspUtilsCommon {
  public:
    using IspUtilsCommon::IspUtilsCommon;
    ~Orba6IspUtils() override;
    Status getKernelConfigurations(std::vector<KernelConfigContainer>& configs) const override;
    Status applyFormat(const IGraphConfig* port, const std::string& format) const override;
    Status applyCompression(const IGraphConfig* port, const std::string& format) const override;
};

class ZO_EXPORT Orba7IspUtils : public IspUtilsCommon {
  public:
    using IspUtilsCommon::IspUtilsCommon;
    ~Orba7IspUtils() override;
    Status getKernelConfigurations(std::vector<KernelConfigContainer>& configs) const override;
    Status applyFormat(const IGraphConfig* port, const std::string& format) const override;
    Status applyCompression(const IGraphConfig* port, const std::string& format) const override;
};

}  // namespace VELT

#endif /* VELT_ISP_UTILS_H */
