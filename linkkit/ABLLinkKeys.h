#pragma once

// The kit's names in the program's standard user defaults and its notification.
inline constexpr char const* kABLLinkEnabledKey = "ABLLinkEnabledKey";            // the user's Link switch
inline constexpr char const* kABLStartStopSyncEnabledKey = "ABLStartStopSyncEnabled";
inline constexpr char const* kABLNotificationEnabledKey = "ABLNotificationEnabled";

// Posted on the main thread to the default notification centre whenever the session's peer
// count reaches the kit; the count is in the user info under kABLLinkNumberOfPeersKey.
inline constexpr char const* kABLLinkNumberOfPeersChangedNotification = "ABLLink.NumberOfPeersChanged";
inline constexpr char const* kABLLinkNumberOfPeersKey = "numberOfPeers";
