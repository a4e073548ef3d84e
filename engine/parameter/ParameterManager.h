#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterConverter.h"
#include "engine/parameter/ParameterObserver.h"
#include "engine/parameter/Serializer.h"

namespace Lumora {

// Holds all parameters of one engine by id (it refers to them, it does not own them) and fans
// every reported change out to its observers. It is also the text form of its parameters.
class ParameterManager : public Serializer {
public:
    using Token = ParameterObserver::Token;
    using ParameterMap = std::map<int, Parameter*>;

    ParameterManager(const std::string& name, int version, ParameterConverter* converter);
    ~ParameterManager() override;

    ParameterManager(const ParameterManager&) = delete;
    ParameterManager& operator=(const ParameterManager&) = delete;

    const std::string& name() const { return name_; }
    int version() const { return version_; }

    void addObserver(ParameterObserver* observer);
    void removeObserver(ParameterObserver* observer);

    const ParameterMap& getParameterMap() const { return parameters_; }
    Parameter* getParameter(int id);
    const Parameter* getParameter(int id) const;
    // The first parameter in ascending id that answers to key.
    Parameter* getParameter(const std::string& key);
    const Parameter* getParameter(const std::string& key) const;

    const std::vector<int>& importantParameters() const { return importantIds_; }
    void setImportantParameters(std::initializer_list<int> ids);

    // Called only by a parameter whose change passed its throttle.
    void didChangeParam_callFrom_parameter(const Parameter* param, Token token,
                                           AutomationEventType event);

    // The parameter text.
    std::string serialize(SerializeWhat what, SerializeWhere where) override;
    bool deserialize(SerializeWhat what, const std::string& text, SerializeWhere where) override;
    void initialize(SerializeWhat what, SerializeWhere where) override;
    // False for a text whose header line names this manager but whose version can't be read:
    // such a text is refused whole, before anything is reset.
    bool hasReadableHeader(const std::string& text) const;
    bool deserialize(SerializeWhat what, const std::string& name, const std::string& value,
                     int version, Token token);
    bool deserializeOldVersionFormat(SerializeWhat what, const std::string& name,
                                     const std::string& type, const std::string& value,
                                     int version, Token token);

protected:
    // Runs before the observers are told; empty here.
    virtual void didChangeParam(const Parameter*) {}

private:
    friend class Parameter;
    void registerParameter(Parameter* param);
    void unregisterParameter(Parameter* param);
    bool applyLine(SerializeWhat what, const std::string& name, const std::string& value,
                   int version, Token token);

    std::string name_;
    int32_t version_;
    std::set<ParameterObserver*> observers_;
    ParameterConverter* converter_;
    ParameterMap parameters_;
    std::vector<int> importantIds_;
    std::recursive_mutex observerLock_;
};

} // namespace Lumora
