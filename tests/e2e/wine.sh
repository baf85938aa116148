# Sourced by the Wine scripts: runs quietly in the prefix the test set up, without the .NET and
# HTML engine installers Wine would otherwise offer.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
: "${WINEPREFIX:?WINEPREFIX must name an initialised Wine prefix}"
export WINEPREFIX
