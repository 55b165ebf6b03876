// The subcommands of the vorlin program.  Each takes the whole argv and the
// index of its first own argument, prints its answer on stdout and returns
// the exit status (0 success, 1 a well-formed request whose answer is "no");
// usage errors are thrown as UsageError.
#pragma once

namespace vorlin::cli {

int RunCheck(int argc, char **argv, int first);
int RunJulianDay(int argc, char **argv, int first);
int RunTimes(int argc, char **argv, int first);
int RunMoon(int argc, char **argv, int first);
int RunHijri(int argc, char **argv, int first);
int RunQibla(int argc, char **argv, int first);
int RunMethods(int argc, char **argv, int first);
int RunPlaces(int argc, char **argv, int first);
int RunNext(int argc, char **argv, int first);
int RunCrescent(int argc, char **argv, int first);
int RunEvents(int argc, char **argv, int first);
int RunConfig(int argc, char **argv, int first);
int RunCompletion(int argc, char **argv, int first);
int RunManual(int argc, char **argv, int first);
int RunServe(int argc, char **argv, int first);  // service/server.cpp

}  // namespace vorlin::cli
