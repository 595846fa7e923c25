#!/usr/bin/env bash
# Installs the afbridge component into a temporary prefix, then builds and runs
# a small C program against it through pkg-config, as another program would.
#
#   check_install.sh BUILD_DIR C_COMPILER [EXTRA_CFLAGS]
set -euo pipefail
build=$1 cc=$2 extra=${3:-}

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --component afbridge --prefix "$prefix" > /dev/null
pc=$(find "$prefix" -name afbridge.pc)
[ -n "$pc" ] || { echo "no afbridge.pc installed"; exit 1; }
# The .pc file names the prefix given when installing.
export PKG_CONFIG_PATH=$(dirname "$pc")
[ "$(pkg-config --variable=prefix afbridge)" = "$prefix" ] ||
  { echo "afbridge.pc names $(pkg-config --variable=prefix afbridge), not $prefix"; exit 1; }
flags=$(pkg-config --cflags --libs afbridge)

cat > "$prefix/consumer.c" <<'C'
#include <afbridge.h>
#include <stdio.h>

int main(void)
{
    int32_t count = fnSearchAllDevice();
    printf("count=%d id=%d close=%d\n", count, fnGetDeviceId(0), fnCloseDevice());
    return 0;
}
C
# shellcheck disable=SC2086
"$cc" -std=c99 -Wall -Wextra -Werror $extra -o "$prefix/consumer" "$prefix/consumer.c" $flags \
  -Wl,-rpath,"$(pkg-config --variable=libdir afbridge)"

mkdir -p "$prefix/fake/sys/class/hidraw" "$prefix/fake/dev"
output=$(AFBRIDGE_SYSFS_ROOT="$prefix/fake/sys" AFBRIDGE_DEV_ROOT="$prefix/fake/dev" \
  "$prefix/consumer")
if [ "$output" != "count=0 id=-1 close=-1" ]; then
  echo "unexpected output of the installed library: $output"
  exit 1
fi
"$prefix/bin/afbridge-tool" --help > /dev/null
echo "installed afbridge builds and runs a C program: $output"
