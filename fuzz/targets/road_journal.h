// What the road records of every library call it makes: whether an exception
// left the call, its status and a digest of what it handed back. Two journeys
// over the same documents can then be compared call by call: a call that
// reports success must have handed back what it hands back when nothing
// fails.
#ifndef ZOVESK_FUZZ_ROAD_JOURNAL_H
#define ZOVESK_FUZZ_ROAD_JOURNAL_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "velt_graph_config.h"
#include "velt_graph_config_node.h"
#include "zo_isp_qel_records.h"

namespace zovesk_fuzz {

// One library call, known by where it was made (the entry, the item it was
// about and its place among the calls about that item), with its status
// (kNoStatus for a call without one) and the digest of its results.
struct RoadCall {
    static constexpr int32_t kNoStatus = 1;
    uint64_t place;
    int32_t status;
    uint64_t digest;
    // Where in the road the call was noted, for messages.
    uint32_t line;
};

// FNV-1a over the bytes fed in.
class Digest {
  public:
    Digest& bytes(const void* data, size_t size) {
        const auto* byte = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            value_ = (value_ ^ byte[i]) * 1099511628211ull;
        }
        return *this;
    }
    template <typename Number>
    Digest& number(Number n) {
        return bytes(&n, sizeof(n));
    }
    Digest& text(const std::string& s) { return number(s.size()).bytes(s.data(), s.size()); }
    // A tree node by its place, not its address: the keys from the root down.
    Digest& node(const VELT::IGraphConfig* item) {
        size_t depth = 0;
        for (; item != nullptr; item = item->getAncestor()) {
            number(item->getUid());
            ++depth;
        }
        return number(depth);
    }
    Digest& nodes(const std::vector<VELT::IGraphConfig*>& items) {
        number(items.size());
        for (const VELT::IGraphConfig* item : items) {
            node(item);
        }
        return *this;
    }
    // Every key, kind and value below a node, in stored order.
    Digest& tree(const VELT::IGraphConfig* item) {
        if (item == nullptr) {
            return number(-1);
        }
        const auto& node = static_cast<const VELT::GraphConfigNode&>(*item);
        number(node.getDescendantCount());
        for (const auto& [key, child] : node) {
            number(key).number(child->getType());
            if (child->isNode()) {
                tree(static_cast<const VELT::GraphConfigNode*>(child.get()));
            } else {
                int integer = 0;
                std::string string;
                if (child->getValue(integer) == 0) {
                    number(integer);
                } else if (child->getValue(string) == 0) {
                    text(string);
                }
            }
        }
        return *this;
    }
    Digest& resolution(const zo_isp_qel_resolution_info* info) {
        return info == nullptr ? number(-1) : bytes(info, sizeof(*info));
    }
    // Run-kernel records with what their pointers point to.
    Digest& runKernels(const zo_isp_qel_run_kernels* kernels, uint32_t count) {
        number(count);
        for (uint32_t i = 0; kernels != nullptr && i < count; ++i) {
            zo_isp_qel_run_kernels record = kernels[i];
            const uint32_t infos = record.output_count == 0 ? 1 : record.output_count;
            for (uint32_t k = 0; record.resolution_info != nullptr && k < infos; ++k) {
                resolution(&record.resolution_info[k]);
            }
            resolution(record.resolution_history);
            number(record.resolution_info != nullptr);
            record.resolution_info = nullptr;
            record.resolution_history = nullptr;
            bytes(&record, sizeof(record));
        }
        return *this;
    }
    uint64_t value() const { return value_; }

  private:
    uint64_t value_ = 14695981039346656037ull;
};

// The record of one journey. The hooks let a fault-injecting harness keep the
// road's own bookkeeping (digests, records) out of its counts.
struct RoadJournal {
    void (*suspendFaults)() = nullptr;
    void (*resumeFaults)() = nullptr;
    // Exceptions that left a library call.
    size_t escapes = 0;
    // Kept only when keepCalls is set.
    bool keepCalls = false;
    std::vector<RoadCall> calls;

    // The entry whose calls follow.
    void beginEntry(uint32_t entry) {
        entry_ = entry;
        about(0);
    }
    // The item the calls that follow are about; their places count from 0.
    void about(uint64_t subject) {
        subject_ = subject;
        ordinal_ = 0;
    }
    uint64_t subject() const { return subject_; }
    uint32_t ordinal() const { return ordinal_; }
    // Back to an earlier item, going on from where its calls stopped.
    void resume(uint64_t subject, uint32_t ordinal) {
        subject_ = subject;
        ordinal_ = ordinal;
    }
    void record(int32_t status, uint64_t digest, uint32_t line) {
        if (keepCalls) {
            const uint64_t place =
                Digest().number(entry_).number(subject_).number(ordinal_).value();
            calls.push_back({place, status, digest, line});
        }
        ++ordinal_;
    }

  private:
    uint32_t entry_ = 0;
    uint64_t subject_ = 0;
    uint32_t ordinal_ = 0;
};

// Runs the harness's own bookkeeping with faults suspended.
class Bookkeeping {
  public:
    explicit Bookkeeping(RoadJournal& journal) : journal_(journal) {
        if (journal_.suspendFaults != nullptr) {
            journal_.suspendFaults();
        }
    }
    ~Bookkeeping() {
        if (journal_.resumeFaults != nullptr) {
            journal_.resumeFaults();
        }
    }
    Bookkeeping(const Bookkeeping&) = delete;
    Bookkeeping& operator=(const Bookkeeping&) = delete;

  private:
    RoadJournal& journal_;
};

// While alive, the calls recorded are about one item; afterwards about the
// one before again, whose places go on where they stopped.
class About {
  public:
    template <typename MakeSubject>
    About(RoadJournal& journal, MakeSubject&& makeSubject)
        : journal_(journal), previous_(journal.subject()), ordinal_(journal.ordinal()) {
        uint64_t subject = 0;
        {
            const Bookkeeping bookkeeping(journal);
            Digest digest;
            makeSubject(digest);
            subject = digest.value();
        }
        journal_.about(subject);
    }
    ~About() { journal_.resume(previous_, ordinal_); }
    About(const About&) = delete;
    About& operator=(const About&) = delete;

  private:
    RoadJournal& journal_;
    uint64_t previous_;
    uint32_t ordinal_;
};

// Calls the library; an exception that leaves it is counted, and fallback
// stands for the result.
template <typename Fallback, typename Call>
auto libraryCall(RoadJournal& journal, Fallback fallback, Call&& call) {
    using Result = std::decay_t<decltype(call())>;
    try {
        return Result(call());
    } catch (...) {
        ++journal.escapes;
        return Result(std::move(fallback));
    }
}

template <typename Call>
void libraryCall(RoadJournal& journal, Call&& call) {
    try {
        call();
    } catch (...) {
        ++journal.escapes;
    }
}

}  // namespace zovesk_fuzz

#endif
