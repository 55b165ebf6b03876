include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# The user's defaults: set, get, list, unset in the file; read before the
# command line, which wins; a place or method on the command line replaces
# the configured one as a whole.
string(RANDOM LENGTH 12 suffix)
set(config_home /tmp/vorlin-config-test-${suffix})
file(REMOVE_RECURSE ${config_home})
set(ENV{XDG_CONFIG_HOME} ${config_home})
expect_cli(EXIT 0 STDOUT "^${config_home}/vorlin/config\n$" ARGS config path)
expect_cli(EXIT 0 STDOUT "^$" ARGS config list)
expect_cli(EXIT 0 STDOUT "^$" ARGS config set city "Birmingham, GB")
expect_cli(EXIT 0 STDOUT "^$" ARGS config set method MSC)
expect_cli(EXIT 0 STDOUT "^$" ARGS config set fajr 16)
expect_cli(EXIT 2 STDERR "^vorlin: --fajr: must lie within -90..90, not '95'\n$" ARGS config set fajr 95)
expect_cli(EXIT 2 STDERR "^vorlin: config: no setting 'colour'" ARGS config set colour blue)
expect_cli(EXIT 0 STDOUT "^city = Birmingham, GB\nmethod = MSC\nfajr = 16\n$" ARGS config list)
expect_cli(EXIT 0 STDOUT "^MSC\n$" ARGS config get method)
expect_cli(EXIT 1 STDOUT "^$" ARGS config get isha)
# Read first: the configured place and method and the flag; flags win.
expect_cli(EXIT 0 STDOUT "^Prayer times: Birmingham, 52.4814 N 1.8998 W, 149 m, Europe/London\nMethod MoonsightingCommittee: Fajr 16 deg"
           ARGS times --day --date 2024-03-11)
expect_cli(EXIT 0 STDOUT "^Prayer times: Birmingham, [^\n]*\nMethod MoonsightingCommittee: Fajr 17 deg"
           ARGS times --day --date 2024-03-11 --fajr 17)
expect_cli(EXIT 0 STDOUT "^Prayer times: Cairo, [^\n]*Africa/Cairo\nMethod Egypt: Fajr 19.5 deg"
           ARGS times --day --date 2024-03-11 --city Cairo --method Egypt)
expect_cli(EXIT 0 STDOUT "^Prayer times: 30.0000 N 31.0000 E, 0 m, Africa/Cairo\n"
           ARGS times --day --date 2024-03-11 --lat 30 --lon 31)
expect_cli(EXIT 0 STDOUT "^$" ARGS config unset city)
expect_cli(EXIT 0 STDOUT "^method = MSC\nfajr = 16\n$" ARGS config list)
# A line that is not a setting is named with its file and line.
file(APPEND ${config_home}/vorlin/config "colour = blue\n")
expect_cli(EXIT 2 STDERR "^vorlin: ${config_home}/vorlin/config:4: not a setting: 'colour = blue'" ARGS times --day)
file(REMOVE_RECURSE ${config_home})
