#pragma once

// Bounds are set in tests/support only.
constexpr int kStepMs = 15000;
