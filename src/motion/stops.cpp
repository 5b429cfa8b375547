#include "motion/stops.h"

#include "axis/registers.h"
#include "core/board.h"
#include "core/validation.h"

namespace dravik {

namespace {

uint32_t stop_image(StopKind kind, uint32_t mode) {
    return kind == StopKind::sudden ? (mode & ~MODE_RUN) | MODE_RUN_STOP
                                    : mode | MODE_RUN_DECEL_STOP;
}

}  // namespace

int stop_axes(Library& lib, StopKind kind, std::span<const int> axes) {
    for (const int ch : axes)
        if (validate_axis_call(lib, ch) < 0) return -1;
    for (const int ch : axes) {
        int32_t status = 0;
        if (lib.driver.read_axis_reg(ch, REG_STATUS, &status) != 0) return -1;
        if ((static_cast<uint32_t>(status) & STATUS_BUSY) == 0) continue;
        int32_t mode = 0;
        if (lib.driver.read_axis_reg(ch, REG_MODE, &mode) != 0) return -1;
        const uint32_t value = stop_image(kind, static_cast<uint32_t>(mode));
        if (lib.driver.write_axis_reg(ch, REG_MODE, static_cast<int32_t>(value)) != 0) return ch;
        lib.axes[ch - 1].mode_shadow = value;
    }
    return 0;
}

int sudden_stop(Library& lib, int ch) {
    const int axes[] = {ch};
    return stop_axes(lib, StopKind::sudden, axes);
}

int decel_stop(Library& lib, int ch) {
    const int axes[] = {ch};
    return stop_axes(lib, StopKind::decel, axes);
}

void stop_motion_for_unload(Library& lib) {
    {
        std::lock_guard<std::recursive_mutex> guard(lib.mutex);
        lib.monitor.request_close();
        const int total = get_max_axe(lib);
        for (int ch = 1; ch <= total; ++ch) sudden_stop(lib, ch);
    }
    lib.monitor.shutdown();
}

}  // namespace dravik
