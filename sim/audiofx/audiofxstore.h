// Where the simulated audio driver keeps its sound-effect state (shared with the e2e driver).
#pragma once

namespace vqsim::audiofx {

inline constexpr wchar_t kLibrary[] = L"VqSimAudioFx.dll";
inline constexpr wchar_t kKey[] = L"Software\\VqSim\\AudioFx";
// DWORD: 0 effect A selected, 1 effect B selected (0).
inline constexpr wchar_t kSelection[] = L"Selection";
// DWORD: each effect on (not 0) or off (0) (0).
inline constexpr wchar_t kEffectA[] = L"EffectA";
inline constexpr wchar_t kEffectB[] = L"EffectB";
// SZ, written: every property request, oldest first: "get A", "set sel=1", ...
inline constexpr wchar_t kRequests[] = L"Requests";

}  // namespace vqsim::audiofx
