#include "UsageText.h"

#include "Resource.h"
#include "StringTable.h"

#include <windows.h>

#include <vector>

namespace
{
void WriteToStandardOutput(const std::wstring& text)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode))
    {
        DWORD written = 0;
        WriteConsoleW(output, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return;
    std::vector<char> bytes(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(output, bytes.data(), static_cast<DWORD>(length), &written, nullptr);
}
}

void ShowUsageText(const StringTable& strings, const std::wstring& firstLine, bool silent)
{
    std::wstring text = strings.Text(IDS_USAGE);
    if (!firstLine.empty())
        text = firstLine + L"\r\n\r\n" + text;
    WriteToStandardOutput(text + L"\r\n");
    if (!silent)
        MessageBoxW(nullptr, text.c_str(), strings.Text(IDS_APP_TITLE).c_str(),
                    MB_OK | (firstLine.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}
