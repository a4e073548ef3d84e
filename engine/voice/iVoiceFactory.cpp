#include "engine/voice/iVoiceFactory.h"

namespace Lumora {

iVoiceFactory::~iVoiceFactory() = default;

} // namespace Lumora
