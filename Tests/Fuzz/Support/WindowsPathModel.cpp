#include "WindowsPathModel.h"

#include <vector>

namespace
{
    bool IsSeparator(wchar_t c)
    {
        return c == L'\\' || c == L'/';
    }

    std::wstring Upper(const std::wstring& text)
    {
        std::wstring upper(text);
        for (wchar_t& c : upper)
        {
            if (c >= L'a' && c <= L'z')
                c = static_cast<wchar_t>(c - L'a' + L'A');
        }
        return upper;
    }

    // Windows drops trailing dots and spaces from every step of a path.
    std::wstring Trimmed(const std::wstring& step)
    {
        size_t nEnd = step.size();
        while (nEnd > 0 && (step[nEnd - 1] == L'.' || step[nEnd - 1] == L' '))
            --nEnd;
        return step.substr(0, nEnd);
    }

    // A step made of dots and spaces with at least two dots climbs one
    // folder; one dot, or nothing left after trimming, stays.
    enum StepKind
    {
        Stay,
        Climb,
        Descend
    };

    StepKind KindOf(const std::wstring& step)
    {
        size_t nDots = 0;
        for (wchar_t c : step)
        {
            if (c == L'.')
                ++nDots;
            else if (c != L' ')
                return Descend;
        }
        return nDots >= 2 ? Climb : Stay;
    }

    // The device names of Windows, as documented: CON, PRN, AUX, NUL,
    // COM0 to COM9 and LPT0 to LPT9 with the superscript digits one to three
    // (U+00B9, U+00B2, U+00B3), CONIN$ and CONOUT$; also with an extension
    // or trailing blanks before it.
    bool NamesDevice(const std::wstring& step)
    {
        std::wstring base = step.substr(0, step.find(L'.'));
        while (!base.empty() && base.back() == L' ')
            base.pop_back();
        base = Upper(base);
        if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" ||
            base == L"CONIN$" || base == L"CONOUT$")
            return true;
        if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0))
            return false;
        const wchar_t digit = base[3];
        return (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }

    std::vector<std::wstring> Steps(const std::wstring& path)
    {
        std::vector<std::wstring> steps;
        std::wstring step;
        for (wchar_t c : path)
        {
            if (IsSeparator(c))
            {
                steps.push_back(step);
                step.clear();
            }
            else
            {
                step += c;
            }
        }
        steps.push_back(step);
        return steps;
    }

    // Resolves the steps onto folders; false when a step climbs above the
    // start.
    bool Walk(const std::vector<std::wstring>& steps, std::vector<std::wstring>& folders,
              size_t nFloor)
    {
        for (const std::wstring& step : steps)
        {
            switch (KindOf(step))
            {
            case Stay:
                break;
            case Climb:
                if (folders.size() <= nFloor)
                    return false;
                folders.pop_back();
                break;
            case Descend:
                folders.push_back(Upper(Trimmed(step)));
                break;
            }
        }
        return true;
    }
}

bool StaysInsideDestination(const std::wstring& destination, const std::wstring& name)
{
    // A name that starts at a root, or names a drive or a stream, does not
    // land below the destination; one with a NUL is not the name the system
    // sees.
    if (!name.empty() && IsSeparator(name[0]))
        return false;
    if (name.find(L':') != std::wstring::npos || name.find(L'\0') != std::wstring::npos)
        return false;

    // Extraction drops one trailing backslash of the destination and joins
    // with one; the destination's own steps are resolved first, and the
    // name may not climb above where they end.
    std::vector<std::wstring> folders;
    std::wstring joinedDestination = destination;
    if (!joinedDestination.empty() && joinedDestination.back() == L'\\')
        joinedDestination.pop_back();
    Walk(Steps(joinedDestination), folders, 0);
    const size_t nDestinationDepth = folders.size();

    std::vector<std::wstring> nameSteps = Steps(name);
    if (!Walk(nameSteps, folders, nDestinationDepth))
        return false;
    // A last step that names a file must not name a device.
    const std::wstring& last = nameSteps.back();
    return KindOf(last) != Descend || !NamesDevice(last);
}
