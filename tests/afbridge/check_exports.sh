#!/usr/bin/env bash
# Checks that a shared library defines exactly the seven afbridge functions in
# its dynamic symbol table, all of them plain C functions, and that it needs
# nothing beyond the C and C++ runtimes (and a sanitizer runtime in those builds).
#
#   check_exports.sh LIBRARY NM READELF
set -euo pipefail
library=$1 nm=${2:-nm} readelf=${3:-readelf}

expected='fnCloseDevice T
fnGetDeviceId T
fnGetDeviceName T
fnOpenDeviceById T
fnOpenDeviceByIndex T
fnSearchAllDevice T
fnSetAFMode T'

actual=$("$nm" -D --defined-only "$library" | awk '{ print $NF, $(NF-1) }' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  echo "defined dynamic symbols of $library differ from the seven functions:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi

status=0
while read -r needed; do
  case "$needed" in
    libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.* | ld-linux*.so.*) ;;
    libasan.so.* | libubsan.so.* | libtsan.so.*) ;;
    *) echo "$library needs $needed, which is not a C or C++ runtime library"; status=1 ;;
  esac
done < <("$readelf" -d "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ "$status" = 0 ] && echo "$library: the seven functions, C and C++ runtimes only"
exit "$status"
