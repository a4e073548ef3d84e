#pragma once

class Lumora_KeyView;
class Lumora_KeyContainerView;

// Told by a key container of every key press and release its touches make. The key's state
// and touched point are already updated when it is called.
class Lumora_KeyViewDelegate {
public:
    virtual ~Lumora_KeyViewDelegate() = default;
    virtual void keyDown(Lumora_KeyView* key, Lumora_KeyContainerView* container) = 0;
    virtual void keyUp(Lumora_KeyView* key, Lumora_KeyContainerView* container) = 0;
};
