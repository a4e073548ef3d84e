#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/View.h"

#include <memory>

class Lumora_Core;
class _MicroTuningEditorKeyVw;

// The place of one row in the editor's interface file, which sets its pitch class. It loads
// the row itself from the row's interface file as its first subview and forwards to it.
class MicroTuningEditorKeyVw : public Platform::View {
public:
    // The platform's initializer, then the row is loaded.
    static std::shared_ptr<MicroTuningEditorKeyVw> initWithFrame(Platform::Rect frame);

    explicit MicroTuningEditorKeyVw(Platform::Rect frame = {});

    // Makes the row of the file "MicroTuningEditorKeyVw", one point inside the top and bottom
    // edges, as the first subview; none when the file has no row.
    std::shared_ptr<_MicroTuningEditorKeyVw> loadNib();
    // The first subview when it is the row.
    _MicroTuningEditorKeyVw* keyView() const;

    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }
    void setCore(std::shared_ptr<Lumora_Core> core);
    void updateUI();
    // The row's pitch class; 0 without a row.
    int keyNumberOfOctave() const;
    void setKeyNumberOfOctave(int key);

private:
    Lumora_CoreRef core_;
};
