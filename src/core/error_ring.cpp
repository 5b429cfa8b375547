// The ring of recent error codes. A repeat of the newest code rewrites the newest slot instead of
// taking a new one, so a failure that repeats in a loop cannot push older records out.
#include "core/error_ring.h"

#include <algorithm>
#include <cstdint>

namespace dravik {

void ErrorRing::prepare() { storage_.assign(kCapacity, 0); }

void ErrorRing::record(int32_t code) {
    const uint32_t cap = capacity();
    if (cap == 0) return;  // no storage attached: nothing to keep the record in
    if (code == last_code_) {
        repeat_count_ = std::min(repeat_count_ + 1, 255);
        if (repeat_count_ > 1) write_index_ = (write_index_ == 0) ? cap - 1 : write_index_ - 1;
        storage_[write_index_] = code;
        write_index_ = (write_index_ + 1) % cap;
    } else {
        storage_[write_index_] = code;
        write_index_ = (write_index_ + 1) % cap;
        repeat_count_ = 1;
        if (total_ < INT32_MAX) ++total_;  // stops short of overflow
    }
    last_code_ = code;
}

int ErrorRing::read_recent(int n, int32_t* code) const {
    const uint32_t cap = capacity();
    if (n < 1 || static_cast<uint32_t>(n) >= cap || n > total_) return -1;
    int64_t slot = static_cast<int64_t>(write_index_) - n;
    if (slot < 0) slot += cap;
    *code = storage_[static_cast<size_t>(slot)];
    return 0;
}

int32_t ErrorRing::read_newest() const {
    const uint32_t cap = capacity();
    if (cap == 0) return 0;
    return storage_[write_index_ == 0 ? cap - 1 : write_index_ - 1];
}

void ErrorRing::clear() {
    last_code_ = 0;
    write_index_ = 0;
    repeat_count_ = 0;
    total_ = 0;
    std::fill(storage_.begin(), storage_.end(), 0);
}

}  // namespace dravik
