#include "config.h"

#include <cstdlib>
#include <numeric>

namespace dravik::sim {

int SimConfig::total_axes() const {
    return std::accumulate(axes_per_board.begin(), axes_per_board.end(), 0);
}

uint32_t SimConfig::identity_of(int board) const {
    const auto index = static_cast<size_t>(board - 1);
    if (index < identity.size()) return identity[index];
    return 0x44560000u + static_cast<uint32_t>(board);  // "DV" and the board number
}

bool parse_board_list(const std::string& text, std::vector<int>& out) {
    std::vector<int> result;
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t comma = text.find(',', pos);
        const std::string item = text.substr(pos, comma == std::string::npos ? comma : comma - pos);
        if (item.empty() || item.size() > 3) return false;
        for (char c : item) {
            if (c < '0' || c > '9') return false;
        }
        const int axes = std::atoi(item.c_str());
        if (axes > 64) return false;
        result.push_back(axes);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    if (result.empty() || result.size() > 16) return false;
    out = result;
    return true;
}

}  // namespace dravik::sim
