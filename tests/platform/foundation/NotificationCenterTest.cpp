#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using Platform::Notification;
using Platform::NotificationCenter;

TEST(NotificationCenter, DeliversByNameAndPosterInOrderOfAdding) {
    NotificationCenter center;
    int poster = 0, other = 0;
    std::vector<std::string> heard;
    center.addObserver("A", nullptr, [&](Notification const&) { heard.push_back("any poster of A"); });
    center.addObserver("A", &poster, [&](Notification const&) { heard.push_back("A from poster"); });
    center.addObserver("", nullptr, [&](Notification const& n) { heard.push_back("everything: " + n.name); });
    center.addObserver("B", nullptr, [&](Notification const& n) {
        heard.push_back("B " + n.userInfo.at("key").string()->substr());
    });

    center.post("A", &other);
    center.post("A", &poster);
    center.post("B", nullptr, {{"key", "value"}});
    std::vector<std::string> expected{"any poster of A", "everything: A",   "any poster of A",
                                      "A from poster",   "everything: A",   "everything: B",
                                      "B value"};
    EXPECT_EQ(heard, expected);
}

TEST(NotificationCenter, RunsOnThePostingThreadAndStopsAfterRemoval) {
    NotificationCenter center;
    std::thread::id heardOn;
    int calls = 0;
    auto token = center.addObserver("N", nullptr, [&](Notification const&) {
        heardOn = std::this_thread::get_id();
        ++calls;
    });
    std::thread poster([&] { center.post("N"); });
    std::thread::id posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(heardOn, posterId);
    EXPECT_EQ(calls, 1);

    center.removeObserver(token);
    center.removeObserver(token);   // twice is harmless
    center.post("N");
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenter, HandlersMayRemoveObserversAndPostAgain) {
    NotificationCenter center;
    int first = 0, second = 0;
    NotificationCenter::ObserverToken secondToken = 0;
    NotificationCenter::ObserverToken firstToken = center.addObserver("N", nullptr, [&](Notification const&) {
        ++first;
        center.removeObserver(firstToken);
        center.removeObserver(secondToken);   // removed before its turn in this delivery
        center.post("N");                    // nobody is left to hear it
    });
    secondToken = center.addObserver("N", nullptr, [&](Notification const&) { ++second; });
    center.post("N");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}
