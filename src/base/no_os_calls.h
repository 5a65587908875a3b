// Read before anything else in every engine file (the build adds it with
// -include). The engine reaches the operating system only through the
// Platform (src/platform/platform.h): files, the clock, the environment,
// output and ending the process. So the calls that would go around it do
// not compile in engine code: each becomes an undeclared name that says what
// was called. The standard headers that declare them are read first, so
// their own declarations stay whole (the libraries the engine uses read
// some of them too).
#pragma once

#include <dirent.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

// Files and processes.
#define fopen(...) os_call_outside_the_platform_fopen
#define freopen(...) os_call_outside_the_platform_freopen
#define fdopen(...) os_call_outside_the_platform_fdopen
#define tmpfile(...) os_call_outside_the_platform_tmpfile
#define popen(...) os_call_outside_the_platform_popen
#define system(...) os_call_outside_the_platform_system
#define opendir(...) os_call_outside_the_platform_opendir
#define unlink(...) os_call_outside_the_platform_unlink
#define rmdir(...) os_call_outside_the_platform_rmdir
#define mkdir(...) os_call_outside_the_platform_mkdir
#define chdir(...) os_call_outside_the_platform_chdir
#define getcwd(...) os_call_outside_the_platform_getcwd
#define fork(...) os_call_outside_the_platform_fork
#define dlopen(...) os_call_outside_the_platform_dlopen
#define filesystem os_call_outside_the_platform_filesystem
#define ifstream os_call_outside_the_platform_ifstream
#define ofstream os_call_outside_the_platform_ofstream
#define fstream os_call_outside_the_platform_fstream
// Output: diagnostics go through Platform::log, everything else through the
// trace.
#define printf(...) os_call_outside_the_platform_printf
#define fprintf(...) os_call_outside_the_platform_fprintf
#define vprintf(...) os_call_outside_the_platform_vprintf
#define puts(...) os_call_outside_the_platform_puts
#define fputs(...) os_call_outside_the_platform_fputs
#define perror(...) os_call_outside_the_platform_perror
#define cout os_call_outside_the_platform_cout
#define cerr os_call_outside_the_platform_cerr
#define clog os_call_outside_the_platform_clog
// Ending the process: the engine unwinds to the top (ProgramExit) instead.
#define exit(...) os_call_outside_the_platform_exit
#define _Exit(...) os_call_outside_the_platform__Exit
#define quick_exit(...) os_call_outside_the_platform_quick_exit
// The environment and the clock: Platform::ticks and the file calls.
#define getenv(...) os_call_outside_the_platform_getenv
#define secure_getenv(...) os_call_outside_the_platform_secure_getenv
#define setenv(...) os_call_outside_the_platform_setenv
#define putenv(...) os_call_outside_the_platform_putenv
#define time(...) os_call_outside_the_platform_time
#define localtime(...) os_call_outside_the_platform_localtime
#define localtime_r(...) os_call_outside_the_platform_localtime_r
#define gmtime(...) os_call_outside_the_platform_gmtime
#define mktime(...) os_call_outside_the_platform_mktime
