#include "linkkit/views/ABLLinkTexts.h"

#include "linkkit/views/LocalizedString.h"

#include <map>
#include <mutex>

namespace {

struct Fallback {
    char const* key;
    char const* english;
};

constexpr Fallback fallbacks[] = {
    {"LinkZero", "No Links"},
    {"LinkOne", "1 Link"},
    {"LinkOther", "%u Links"},
    {"DescriptionLong", "Link allows you to play in time with other Link-enabled peers that are on the same "
                        "network.\n \nTo create or join a session, enable Link."},
    {"LinkHyperlink", "Learn more at "},
    {"Browsing", "Browsing for Link-enabled peers..."},
    {"InAppNotificationTitle", "In-app notifications"},
    {"InAppNotificationSubtitle", "Get notified when apps join or leave"},
    {"SyncStartStopTitle", "Sync Start/Stop"},
    {"SyncStartStopSubtitle", "Send and listen to Start/Stop commands"},
    {"ConnectedPeersSectionTitle", "CONNECTED PEERS"},
    {"PeersConnectedZero", "No peers connected"},
    {"PeersConnectedOne", "Connected to 1 peer"},
    {"PeersConnectedMany", "Connected to %zu peers"},
};

std::map<std::string, std::string, std::less<>> loadTexts()
{
    std::map<std::string, std::string, std::less<>> texts;
    for (Fallback const& f : fallbacks) {
        auto found = LocalizedString::resourcesLocalizedString(f.key);
        texts[f.key] = (found && !found->empty()) ? *found : f.english;
    }
    return texts;
}

} // namespace

namespace ABLLinkTexts {

std::string const& text(char const* key)
{
    static std::once_flag once;
    static std::map<std::string, std::string, std::less<>> texts;
    std::call_once(once, [] { texts = loadTexts(); });
    static std::string const none;
    auto it = texts.find(key);
    return it == texts.end() ? none : it->second;
}

std::string withCount(std::string const& format, unsigned long count)
{
    for (char const* placeholder : {"%zu", "%lu", "%u", "%d"}) {
        auto const at = format.find(placeholder);
        if (at != std::string::npos)
            return format.substr(0, at) + std::to_string(count) + format.substr(at + std::char_traits<char>::length(placeholder));
    }
    return format;
}

std::string bannerText(unsigned long peers)
{
    if (peers == 0)
        return text("LinkZero");
    if (peers == 1)
        return text("LinkOne");
    return withCount(text("LinkOther"), peers);
}

std::string peersConnectedText(unsigned long peers)
{
    if (peers == 0)
        return text("PeersConnectedZero");
    if (peers == 1)
        return text("PeersConnectedOne");
    return withCount(text("PeersConnectedMany"), peers);
}

} // namespace ABLLinkTexts
