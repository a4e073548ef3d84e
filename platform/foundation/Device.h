#pragma once

namespace Platform {

// The kind of device the program's interface is laid out for. The values are the platform's
// user-interface idioms (the pad idiom is 1).
enum class UserInterfaceIdiom : int { Unspecified = -1, Phone = 0, Pad = 1, Mac = 5 };

namespace Device {

// "CORVANE_UI_IDIOM" chooses it ("phone", "pad" or "mac"); a desktop screen is laid out like a
// pad otherwise.
UserInterfaceIdiom userInterfaceIdiom();

} // namespace Device

} // namespace Platform
