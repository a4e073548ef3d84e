#pragma once

#include <vector>

#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterObserver.h"

namespace ParamTest {

struct Report {
    const Lumora::Parameter* param;
    Lumora::ParameterObserver::Token token;
    Lumora::AutomationEventType event;
    float value;
};

// Records every change it is told about, with the value the parameter held at that moment.
class RecordingObserver : public Lumora::ParameterObserver {
public:
    void didChangeParam(const Lumora::Parameter* param, Token token,
                        Lumora::AutomationEventType event) override {
        reports.push_back({param, token, event, param->normalizedValue()});
    }
    std::vector<Report> reports;
};

} // namespace ParamTest
