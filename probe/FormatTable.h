// The twenty standard PCM capture formats: their flags (the bits of
// DSCCAPS::dwFormats) and display names.
#pragma once

#include <windows.h>

#include <array>

// The order in which a check lists the formats: 16-bit stereo down to 8-bit
// mono, each from 96 kHz down to 11.025 kHz.
const std::array<DWORD, 20>& CaptureCheckOrder();
