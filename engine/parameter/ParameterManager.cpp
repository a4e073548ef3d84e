#include "engine/parameter/ParameterManager.h"

namespace Lumora {

ParameterManager::ParameterManager(const std::string& name, int version,
                                   ParameterConverter* converter)
    : name_(name), version_(version), converter_(converter) {}

// Parameters outlive their manager in some tables: let them know it is gone, so that their
// destructors and later changes leave it alone.
ParameterManager::~ParameterManager() {
    for (auto& [id, param] : parameters_) {
        param->manager_.store(nullptr, std::memory_order_release);
    }
}

void ParameterManager::addObserver(ParameterObserver* observer) {
    std::lock_guard lock(observerLock_);
    observers_.insert(observer);
}

void ParameterManager::removeObserver(ParameterObserver* observer) {
    std::lock_guard lock(observerLock_);
    observers_.erase(observer);
}

Parameter* ParameterManager::getParameter(int id) {
    auto it = parameters_.find(id);
    return it == parameters_.end() ? nullptr : it->second;
}

const Parameter* ParameterManager::getParameter(int id) const {
    auto it = parameters_.find(id);
    return it == parameters_.end() ? nullptr : it->second;
}

Parameter* ParameterManager::getParameter(const std::string& key) {
    for (auto& [id, param] : parameters_) {
        if (param->isSupportedSerializedName(key)) {
            return param;
        }
    }
    return nullptr;
}

const Parameter* ParameterManager::getParameter(const std::string& key) const {
    for (const auto& [id, param] : parameters_) {
        if (param->serializedName() == key) {
            return param;
        }
    }
    return nullptr;
}

void ParameterManager::setImportantParameters(std::initializer_list<int> ids) {
    importantIds_.assign(ids);
}

void ParameterManager::didChangeParam_callFrom_parameter(const Parameter* param, Token token,
                                                         AutomationEventType event) {
    didChangeParam(param);
    std::lock_guard lock(observerLock_);
    for (ParameterObserver* observer : observers_) {
        observer->didChangeParam(param, token, event);
    }
}

void ParameterManager::registerParameter(Parameter* param) {
    parameters_[param->id()] = param;
}

// A parameter whose id was taken over by a later one leaves that one's entry in place.
void ParameterManager::unregisterParameter(Parameter* param) {
    auto it = parameters_.find(param->id());
    if (it != parameters_.end() && it->second == param) {
        parameters_.erase(it);
    }
}

} // namespace Lumora
