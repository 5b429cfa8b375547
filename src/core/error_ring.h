// The ring of recent error codes: 100 records, where a failure with the same code as the newest
// record rewrites that record instead of adding one.
#pragma once

#include <cstdint>
#include <vector>

namespace dravik {

class ErrorRing {
public:
    static constexpr uint32_t kCapacity = 100;

    // Attaches new, all-zero storage of kCapacity records; keeps the indices and counters.
    void prepare();
    // Pushes `code` (folding a repeat of the newest code into it).
    void record(int32_t code);
    // n-th most recent record (1 = newest) into *code; 0, or -1 when there is none.
    int read_recent(int n, int32_t* code) const;
    // Record in the slot before write_index (0 after load or clearing).
    int32_t read_newest() const;
    // Empties the ring.
    void clear();

    uint32_t capacity() const { return static_cast<uint32_t>(storage_.size()); }
    uint32_t write_index() const { return write_index_; }
    int32_t repeat_count() const { return repeat_count_; }
    int32_t total() const { return total_; }

private:
    std::vector<int32_t> storage_;
    uint32_t write_index_ = 0;
    int32_t repeat_count_ = 1;
    int32_t last_code_ = 0;
    int32_t total_ = 0;
};

}  // namespace dravik
