"""What each target version of Windows exports by name, for the functions
the program imports: the table the executable check holds the import table
against. A function or DLL that is not here fails the check.

Each entry gives the first release of the 9x line and of the NT line that
exports the function by name (None: no release of that line), and its
source. For a Unicode function it also says how the program does on 9x,
where most such functions are stubs that fail: "implemented" where 9x
really implements it, otherwise the way the program takes there.
"""

TARGETS = ("95", "98 SE", "ME", "NT 4.0 SP6", "2000 SP4", "XP SP3", "Vista", "7", "10", "11")

# Releases in order, each line on its own.
RELEASES_9X = ("95", "98", "98 SE", "ME")
RELEASES_NT = ("3.1", "3.5", "3.51", "NT 4.0", "NT 4.0 SP6", "2000", "2000 SP4", "XP", "XP SP3", "Vista", "7",
               "10", "11")

# The sources, cited by the entries.
WIN32_BASE = ("the Win32 API of Windows 95 and Windows NT 3.1 (Standard ECMA-234, Application Programming "
              "Interface for Windows, 1995; MSDN Library 1998 QuickInfo: 'Windows NT: Requires version 3.1 or "
              "later. Windows: Requires Windows 95 or later.')")
MSDN98 = "MSDN Library (1998), Platform SDK reference, QuickInfo of %s"
UNICODE_95 = ("Microsoft KB Q210341 'INFO: Unicode Support in Windows 95 and Windows 98' and MSDN Library 1998 "
              "'Windows 95 General Limitations': %s is among the few Unicode functions Windows 95 implements")
WIN32_SDK = ("Win32 SDK help (Win32 Programmer's Reference, 1995), Quick Info of %s: 'Windows NT: Yes, "
             "Win95: Yes, Win32s: Yes'")
COMCTL32_NAMES = ("Geoff Chappell, COMCTL32 export history, 'COMCTL32 3.50 Named Exports' (names350.htm): "
                  "InitCommonControls, ordinal 17, exported by name from 3.50 on")


class Entry:
    def __init__(self, first_9x, first_nt, source, on_9x=None):
        assert first_9x is None or first_9x in RELEASES_9X, first_9x
        assert first_nt is None or first_nt in RELEASES_NT, first_nt
        self.first_9x = first_9x
        self.first_nt = first_nt
        self.source = source
        self.on_9x = on_9x

    def exported_by(self, target):
        if target in RELEASES_9X:
            return self.first_9x is not None and RELEASES_9X.index(target) >= RELEASES_9X.index(self.first_9x)
        return self.first_nt is not None and RELEASES_NT.index(target) >= RELEASES_NT.index(self.first_nt)


def base(*names):
    return {name: Entry("95", "3.1", WIN32_BASE) for name in names}


def msdn98(**topics):  # name=topic file of a QuickInfo that says NT 3.1 and Windows 95
    return {name: Entry("95", "3.1", MSDN98 % f"{name.rstrip('A')} ({topic}): NT 3.1, Windows 95")
            for name, topic in topics.items()}


EXPORTS = {
    "kernel32.dll": {
        **base("FindResourceA", "FormatMessageA", "FreeLibrary", "GetModuleFileNameA", "GetModuleHandleA",
               "GetProcAddress", "GetStartupInfoA", "GetSystemInfo", "GetVersion", "LoadLibraryA", "LoadResource",
               "LockResource"),
        **{name: Entry("95", "3.1", WIN32_SDK % name)
           for name in ("ExitProcess", "GetCommandLineA", "GetProcessHeap", "HeapAlloc", "HeapFree")},
        "GetVersionExA": Entry("95", "3.5", MSDN98 % "GetVersionEx (sysinfo_49iw): NT 3.5, Windows 95"),
        "IsDBCSLeadByteEx": Entry("95", "3.51", MSDN98 % "IsDBCSLeadByteEx (unicode_9oag): NT 3.51, Windows 95"),
        **msdn98(GetSystemDefaultLCID="nls_85yc", GlobalAlloc="memman_66qr", GlobalFree="memman_38kl",
                 GlobalLock="memman_6omj", GlobalUnlock="memman_5ga3", Sleep="prothred_7jxs"),
        "WideCharToMultiByte": Entry("95", "3.1", UNICODE_95 % "WideCharToMultiByte", on_9x="implemented"),
        "lstrlenW": Entry("95", "3.1", UNICODE_95 % "lstrlenW", on_9x="implemented"),
    },
    "user32.dll": {
        **base("AppendMenuA", "BeginPaint", "CallWindowProcA", "CreateDialogIndirectParamA",
               "CreateWindowExA", "DefWindowProcA", "DestroyIcon", "DestroyWindow", "DispatchMessageA", "DrawFocusRect",
               "DrawIcon", "EnableWindow", "EndPaint", "GetActiveWindow", "GetCapture", "GetClientRect", "GetCursorPos",
               "GetDlgItem", "GetMessageA", "GetParent", "GetSysColor", "GetSystemMenu", "GetSystemMetrics",
               "GetWindow", "GetWindowLongA", "GetWindowRect", "GetWindowTextA", "GetWindowTextLengthA",
               "InvalidateRect", "IsDialogMessageA", "IsIconic", "IsWindow", "IsWindowEnabled", "IsWindowVisible",
               "KillTimer", "LoadCursorA", "LoadIconA", "MessageBoxA", "MoveWindow", "PeekMessageA",
               "PostMessageA", "PostQuitMessage", "ScreenToClient", "SendMessageA", "SetActiveWindow", "SetCursor",
               "SetDlgItemTextA", "SetTimer", "SetWindowLongA", "SetWindowPos", "SetWindowTextA", "ShowWindow",
               "SystemParametersInfoA", "TranslateMessage", "WindowFromPoint"),
        "DrawIconEx": Entry("95", "3.5", MSDN98 % "DrawIconEx (icons_09q0): NT 3.5, Windows 95"),
        "DrawStateA": Entry("95", "NT 4.0", "Win32 SDK help, DrawState: '[Now Supported on Windows NT]' (new in "
                            "NT 4.0), Windows 95"),
        "LoadImageA": Entry("95", "NT 4.0", "Win32 SDK help, LoadImage: '[Now Supported on Windows NT]' (new in "
                            "NT 4.0), Windows 95"),
        "LoadStringA": Entry("95", "3.1", MSDN98 % "LoadString (strings_6j53): NT 3.1, Windows 95"),
        **msdn98(CloseClipboard="clipbrd_34ro", EmptyClipboard="clipbrd_2ns4", LoadAcceleratorsA="keybacel_5ier",
                 OpenClipboard="clipbrd_0p5w", SetClipboardData="clipbrd_4pup", TranslateAcceleratorA="keybacel_25o2"),
    },
    "gdi32.dll": base("CreateFontIndirectA", "DeleteObject", "ExtTextOutA", "GetObjectA", "GetStockObject",
                      "GetTextExtentPoint32A", "RestoreDC", "SaveDC", "SelectObject", "SetBkColor", "SetBkMode",
                      "SetTextColor", "TextOutA"),
    # Only InitCommonControls: a program without a manifest gets comctl32 5.8x,
    # whose subclass functions (410-413) are ordinal-only before XP SP1, and
    # GetWindowSubclass (411) in every 5.x (Geoff Chappell, ords472.htm;
    # microsoft/win32metadata issue 734).
    "comctl32.dll": {"InitCommonControls": Entry("95", "3.51", COMCTL32_NAMES)},
    "ole32.dll": {
        "CoCreateInstance": Entry("95", "3.1", MSDN98 % "CoCreateInstance (api1_1nad): NT 3.1, Windows 95"),
        **base("CoInitialize", "CoUninitialize"),
    },
    "shell32.dll": base("ShellExecuteA"),
    "version.dll": base("GetFileVersionInfoA", "GetFileVersionInfoSizeA", "VerQueryValueA"),
}


def lookup(dll, name):
    """The entry for an import by name (or ordinal: none are admitted)."""
    return EXPORTS.get(dll, {}).get(name) if isinstance(name, str) else None


def is_unicode(name):
    """A Unicode function of the system: a name ending in W after a small
    letter (lstrlenW, LoadStringW), and the two conversion functions."""
    return isinstance(name, str) and (
        (len(name) > 1 and name.endswith("W") and name[-2].islower()) or
        name in ("MultiByteToWideChar", "WideCharToMultiByte"))
