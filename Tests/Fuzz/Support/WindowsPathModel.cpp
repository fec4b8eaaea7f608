#include "WindowsPathModel.h"

#include <vector>

namespace
{
    bool IsSeparator(char c)
    {
        return c == '\\' || c == '/';
    }

    std::string Upper(const std::string& text)
    {
        std::string upper(text);
        for (char& c : upper)
        {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        return upper;
    }

    // Windows drops trailing dots and spaces from every step of a path.
    std::string Trimmed(const std::string& step)
    {
        size_t nEnd = step.size();
        while (nEnd > 0 && (step[nEnd - 1] == '.' || step[nEnd - 1] == ' '))
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

    StepKind KindOf(const std::string& step)
    {
        size_t nDots = 0;
        for (char c : step)
        {
            if (c == '.')
                ++nDots;
            else if (c != ' ')
                return Descend;
        }
        return nDots >= 2 ? Climb : Stay;
    }

    // The device names of Windows, as documented: CON, PRN, AUX, NUL,
    // COM0 to COM9 and LPT0 to LPT9 with the superscript digits one to three
    // (code page 1252), CONIN$ and CONOUT$; also with an extension or
    // trailing blanks before it.
    bool NamesDevice(const std::string& step)
    {
        std::string base = step.substr(0, step.find('.'));
        while (!base.empty() && base.back() == ' ')
            base.pop_back();
        base = Upper(base);
        if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" ||
            base == "CONIN$" || base == "CONOUT$")
            return true;
        if (base.size() != 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0))
            return false;
        unsigned char digit = static_cast<unsigned char>(base[3]);
        return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }

    std::vector<std::string> Steps(const std::string& path)
    {
        std::vector<std::string> steps;
        std::string step;
        for (char c : path)
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
    bool Walk(const std::vector<std::string>& steps, std::vector<std::string>& folders,
              size_t nFloor)
    {
        for (const std::string& step : steps)
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

bool StaysInsideDestination(const std::string& destination, const std::string& name)
{
    // A name that starts at a root, or names a drive or a stream, does not
    // land below the destination.
    if (!name.empty() && IsSeparator(name[0]))
        return false;
    if (name.find(':') != std::string::npos)
        return false;

    // Extraction drops one trailing backslash of the destination and joins
    // with one; the destination's own steps are resolved first, and the
    // name may not climb above where they end.
    std::vector<std::string> folders;
    std::string joinedDestination = destination;
    if (!joinedDestination.empty() && joinedDestination.back() == '\\')
        joinedDestination.pop_back();
    Walk(Steps(joinedDestination), folders, 0);
    const size_t nDestinationDepth = folders.size();

    std::vector<std::string> nameSteps = Steps(name);
    if (!Walk(nameSteps, folders, nDestinationDepth))
        return false;
    // A last step that names a file must not name a device.
    const std::string& last = nameSteps.back();
    return KindOf(last) != Descend || !NamesDevice(last);
}
