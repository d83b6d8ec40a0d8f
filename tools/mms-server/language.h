#pragma once

namespace mmsserver {

// Installs the Chinese texts of --help when LUMO_LANG is "zh", or when it is unset (or neither
// "zh" nor "en") and the system locale is Chinese. The texts are written in English.
void setUpLanguage();

} // namespace mmsserver
