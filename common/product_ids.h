// Names the program, its two stand-in components and the installer agree on.
#pragma once

namespace hg::product {

// The custom component. The program creates the probe class only to prove
// that HGRWCustom.dll is installed.
inline constexpr char kProbeClsid[] = "{6F1C2B7E-4D3A-4E8B-9C21-5A7D3E9B1F40}";
inline constexpr char kProbeProgId[] = "HGRWCustom.CProbe";
inline constexpr char kCustomProgId[] = "HGRWCustom.CCustom2";

// The elevation launcher: rundll32 calls this entry of HedgeRun.dll with the
// program's folder, and the launcher marks the program it starts, so that an
// instance that was already restarted does not restart again.
inline constexpr char kLauncherEntry[] = "hedgerun";
inline constexpr char kRestartedVariable[] = "HEDGEROW_RESTARTED";
inline constexpr char kRestartedValue[] = "1";

}  // namespace hg::product
