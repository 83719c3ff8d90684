#include "probe/FormatTable.h"

#include "app/ProbeDlg.h"

#include <mmsystem.h>

namespace {
struct CaptureFormat {
    DWORD dwFlag;
    LPCSTR pszName;
};

// Bit = 4 x rate index + format index; each name is 22 characters.
const CaptureFormat kCaptureFormats[] = {
    {WAVE_FORMAT_1M08, "8bit  mono   11.025kHz"},  {WAVE_FORMAT_1S08, "8bit  stereo 11.025kHz"},
    {WAVE_FORMAT_1M16, "16bit mono   11.025kHz"},  {WAVE_FORMAT_1S16, "16bit stereo 11.025kHz"},
    {WAVE_FORMAT_2M08, "8bit  mono   22.050kHz"},  {WAVE_FORMAT_2S08, "8bit  stereo 22.050kHz"},
    {WAVE_FORMAT_2M16, "16bit mono   22.050kHz"},  {WAVE_FORMAT_2S16, "16bit stereo 22.050kHz"},
    {WAVE_FORMAT_4M08, "8bit  mono   44.100kHz"},  {WAVE_FORMAT_4S08, "8bit  stereo 44.100kHz"},
    {WAVE_FORMAT_4M16, "16bit mono   44.100kHz"},  {WAVE_FORMAT_4S16, "16bit stereo 44.100kHz"},
    {WAVE_FORMAT_48M08, "8bit  mono   48.000kHz"}, {WAVE_FORMAT_48S08, "8bit  stereo 48.000kHz"},
    {WAVE_FORMAT_48M16, "16bit mono   48.000kHz"}, {WAVE_FORMAT_48S16, "16bit stereo 48.000kHz"},
    {WAVE_FORMAT_96M08, "8bit  mono   96.000kHz"}, {WAVE_FORMAT_96S08, "8bit  stereo 96.000kHz"},
    {WAVE_FORMAT_96M16, "16bit mono   96.000kHz"}, {WAVE_FORMAT_96S16, "16bit stereo 96.000kHz"},
};
} // namespace

const std::array<DWORD, 20>& CaptureCheckOrder()
{
    static const std::array<DWORD, 20> s_order = [] {
        std::array<DWORD, 20> order{};
        size_t nNext = 0;
        for (DWORD dwFormatBit = 8; dwFormatBit; dwFormatBit /= 2)
            for (int nShift = 16; nShift >= 0; nShift -= 4)
                order[nNext++] = dwFormatBit << nShift;
        return order;
    }();
    return s_order;
}

CString CProbeDlg::GetCaptureFormatName(DWORD dwFlag)
{
    // Whole-value equality: a value with several bits names no format.
    if (dwFlag == 0)
        return "invalid format";
    for (const CaptureFormat& format : kCaptureFormats)
        if (format.dwFlag == dwFlag)
            return format.pszName;
    return "unknow default";
}
