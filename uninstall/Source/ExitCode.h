#ifndef UNINSTALL_EXITCODE_H
#define UNINSTALL_EXITCODE_H

class RemovalReport;

// The exit codes a script can rely on. A run that got past its gates
// decides its code from its report alone, which by then also names what
// it could not hand over to its cleanup copy. No system call is made here.
class ExitCode
{
public:
    enum Value
    {
        Removed = 0,          // everything removed (also after the usage text)
        Left = 1,             // some files or folders stay; the report names them
        Refused = 2,          // refused before anything was touched
        RestartNeeded = 3010, // removed; some files go at the next restart
    };

    static Value Of(const RemovalReport& report);
};

#endif
