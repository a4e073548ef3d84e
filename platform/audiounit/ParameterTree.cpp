#include "platform/audiounit/ParameterTree.h"

#include <cmath>
#include <cstdio>

namespace Platform {

float AudioUnitParameter::value() const {
    if (tree_ != nullptr && tree_->valueProvider_)
        return tree_->valueProvider_(*this);
    return value_.load(std::memory_order_relaxed);
}

void AudioUnitParameter::setValue(float value) {
    ParameterAutomationEvent event{d_.address, value, ParameterAutomationEventType::Value, 0, false};
    change(value, 0, event, true);
}

void AudioUnitParameter::setValue(float value, ParameterObserverToken originator, std::uint64_t hostTime,
                                  ParameterAutomationEventType eventType) {
    ParameterAutomationEvent event{d_.address, value, eventType, hostTime, true};
    change(value, originator, event, eventType == ParameterAutomationEventType::Value);
}

void AudioUnitParameter::change(float value, ParameterObserverToken originator, ParameterAutomationEvent const& event,
                                bool toImplementor) {
    if (toImplementor) {
        value_.store(value, std::memory_order_relaxed);
        if (tree_ != nullptr && tree_->valueObserver_)
            tree_->valueObserver_(*this, value);
    }
    if (tree_ != nullptr)
        tree_->notify(event, originator);
}

std::string AudioUnitParameter::stringFromValue(float const* value) const {
    if (tree_ != nullptr && tree_->stringFromValue_)
        return tree_->stringFromValue_(*this, value);
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value != nullptr ? *value : this->value()));
    return text;
}

std::shared_ptr<ParameterTree> ParameterTree::createTreeWithChildren(std::vector<std::shared_ptr<AudioUnitParameter>> children) {
    return std::make_shared<ParameterTree>(std::move(children));
}

ParameterTree::ParameterTree(std::vector<std::shared_ptr<AudioUnitParameter>> children) : children_(std::move(children)) {
    for (auto const& child : children_)
        child->tree_ = this;
}

ParameterTree::~ParameterTree() {
    for (auto const& child : children_)
        child->tree_ = nullptr;
}

AudioUnitParameter* ParameterTree::parameterWithAddress(ParameterAddress address) const {
    for (auto const& child : children_) {
        if (child->address() == address)
            return child.get();
    }
    return nullptr;
}

ParameterObserverToken ParameterTree::tokenByAddingParameterAutomationObserver(AutomationObserver observer) {
    std::lock_guard lock(observersLock_);
    ParameterObserverToken token = nextToken_++;
    observers_.emplace_back(token, std::move(observer));
    return token;
}

void ParameterTree::removeParameterObserver(ParameterObserverToken token) {
    std::lock_guard lock(observersLock_);
    std::erase_if(observers_, [token](auto const& entry) { return entry.first == token; });
}

void ParameterTree::notify(ParameterAutomationEvent const& event, ParameterObserverToken originator) {
    std::lock_guard lock(observersLock_);
    for (auto const& [token, observer] : observers_) {
        if (token != originator)
            observer(event);
    }
}

} // namespace Platform
