#include "FolderRemoval.h"

#include "FileRemoval.h"
#include "FileSearch.h"
#include "HeldFolder.h"
#include "RemovalReport.h"

namespace
{
// What emptying a folder left behind, which decides what becomes of the
// folder itself.
struct Leftovers
{
    bool keptOnPurpose = false;  // a dot-named folder or the program file
    bool scheduled = false;      // something goes at the next restart
    bool failed = false;         // something stays against the intent
};

void Merge(Leftovers& into, RemovalOutcome outcome)
{
    if (outcome == ScheduledAtRestart)
        into.scheduled = true;
    else if (outcome == LeftInPlace)
        into.failed = true;
}

Leftovers EmptyHeldFolder(const std::wstring& folder, RemovalReport& report);

RemovalOutcome RemoveFolderEntry(const std::wstring& path, RemovalReport& report, bool& keptOnPurpose)
{
    HeldFolder held(path);
    if (!held.IsPlainFolder())
    {
        // Only the link itself may go; what it leads to is not the product's.
        held.Release();
        return RemoveEmptyFolder(path, false, report);
    }
    const Leftovers inside = EmptyHeldFolder(path, report);
    held.Release();
    if (inside.keptOnPurpose && !inside.scheduled && !inside.failed)
    {
        keptOnPurpose = true;
        return Removed;
    }
    // What stays inside is named in the report already.
    if (inside.failed)
        return LeftInPlace;
    return RemoveEmptyFolder(path, inside.scheduled, report);
}

Leftovers EmptyHeldFolder(const std::wstring& folder, RemovalReport& report)
{
    Leftovers leftovers;
    FileSearch search(folder);
    if (!search.IsOpen())
        return leftovers;
    do
    {
        const wchar_t* name = search.Entry().cFileName;
        if (search.IsFolder())
        {
            // Skips "." and "..", and keeps every dot-named folder whole.
            if (name[0] == L'.')
            {
                if (name[1] != L'\0' && !(name[1] == L'.' && name[2] == L'\0'))
                {
                    leftovers.keptOnPurpose = true;
                    report.Note(RemovalEvents::KeptOnPurpose, search.Path());
                }
                continue;
            }
            bool kept = false;
            Merge(leftovers, RemoveFolderEntry(search.Path(), report, kept));
            leftovers.keptOnPurpose = leftovers.keptOnPurpose || kept;
            continue;
        }
        const std::wstring path = search.Path();
        if (path.find(L"uninstall.exe") != std::wstring::npos)
        {
            leftovers.keptOnPurpose = true;
            report.Note(RemovalEvents::KeptOnPurpose, path);
            continue;
        }
        Merge(leftovers, RemoveFile(path, report));
    } while (search.Next());
    return leftovers;
}
}

void RemoveFolderContents(const std::wstring& folder, RemovalReport& report)
{
    const HeldFolder held(folder);
    if (held.IsPlainFolder())
        EmptyHeldFolder(folder, report);
}

void RemoveListedFolder(const std::wstring& path, RemovalReport& report)
{
    bool kept = false;
    RemoveFolderEntry(path, report, kept);
}
