# Sourced by the scripts that try the Windows packages under Wine
# (scripts/windows-check-package, scripts/windows-check-window).
#
# Each check runs in a Wine prefix of its own, made fresh in a temporary
# folder and removed at the end, so that nothing of a user's own Wine (and
# no earlier run) is read or changed. Wine says little (WINEDEBUG=-all);
# what it says goes into $LUMARIN_WINE_LOG, which is shown when a check fails.
# File names are UTF-8 (C.UTF-8), so that names with any characters reach
# Windows as they are.

LUMARIN_WINE_PACKAGES="wine wine64 fonts-wine python3"

lumarin_wine_chyby=0
lumarin_ok() { echo "ok: $*"; }
lumarin_chyba() {
  echo "FAIL: $*" >&2
  lumarin_wine_chyby=$((lumarin_wine_chyby + 1))
}

# Runs a Windows program (a Windows or Unix path) with its arguments; its
# standard output goes to standard output, Wine's own messages to the log.
lumarin_wine() {
  wine "$@" 2>>"$LUMARIN_WINE_LOG"
}

# The Unix path of a Windows path in the prefix.
lumarin_unix_cesta() {
  winepath -u "$1" 2>>"$LUMARIN_WINE_LOG"
}

# A Windows environment variable of the prefix, such as LOCALAPPDATA.
lumarin_wine_promenna() {
  lumarin_wine cmd /c "echo %$1%" | tr -d '\r'
}

# Makes a fresh 64-bit prefix and waits until Wine has set it up. Mono and
# Gecko are not offered (nothing here needs them, and CI has no network).
lumarin_wine_prefix() {
  export LC_ALL=C.UTF-8
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX
  WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/lumarin-wine.XXXXXX")"
  LUMARIN_WINE_LOG="$WINEPREFIX.log"
  : >"$LUMARIN_WINE_LOG"
  wineboot -i >>"$LUMARIN_WINE_LOG" 2>&1 || true
  wineserver -w
  [ -d "$WINEPREFIX/drive_c/windows" ] || { cat "$LUMARIN_WINE_LOG" >&2; echo "Wine could not make a prefix in $WINEPREFIX" >&2; return 1; }
}

# Ends what still runs in the prefix and removes it (the log too, unless a
# check failed).
lumarin_wine_konec() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  if [ "$lumarin_wine_chyby" -eq 0 ]; then
    rm -f "$LUMARIN_WINE_LOG"
  else
    echo "Wine's messages: $LUMARIN_WINE_LOG" >&2
  fi
}

# The target of a shortcut (.lnk) as the shell stores it: the path through
# the item list, whose names are Unicode (the other copy of the path, in the
# link information, is in the ANSI code page and loses what it cannot hold).
lumarin_cil_zastupce() {
  python3 - "$1" <<'EOF'
import struct, sys
d = open(sys.argv[1], 'rb').read()
if d[:4] != b'L\0\0\0' or not struct.unpack_from('<I', d, 0x14)[0] & 1:
    sys.exit('not a shell link with an item list')
n, = struct.unpack_from('<H', d, 0x4C)
p, konec, casti = 0x4E, 0x4E + n, []
while p < konec:
    s, = struct.unpack_from('<H', d, p)
    if s == 0:
        break
    polozka = d[p:p + s]
    druh = polozka[2] & 0x70
    if druh == 0x20:  # a drive: "C:\" in ASCII
        casti.append(polozka[3:polozka.index(b'\0', 3)].decode('ascii').rstrip('\\'))
    elif druh == 0x30:  # a folder or file: its long name is Unicode, in the
        # extension block that the item's last two bytes point to (20 bytes
        # into it, as Wine's shell writes it)
        ext, = struct.unpack_from('<H', polozka, s - 2)
        jmeno = polozka[ext + 20:s - 2]
        k = next(i for i in range(0, len(jmeno), 2) if jmeno[i:i + 2] == b'\0\0')
        casti.append(jmeno[:k].decode('utf-16-le'))
    p += s
print('\\'.join(casti))
EOF
}
