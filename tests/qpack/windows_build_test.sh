#!/usr/bin/env bash
# qpack.exe under Wine against the Linux build: the same setup program byte
# for byte from the demo product, packed either way, and from a product in code page 932 whose
# folder, files and texts are not ASCII (a read-only file and an excluded one
# among them); the same report and extracted files from one setup; the same
# manifest mistakes where code pages cannot hold a character; the setup
# program beside qpack.exe as its default, and beside a moved Linux qpack or
# in its install prefix; outputs that would replace an
# input refused; no file left when osslsigncode cannot be started.
#   windows_build_test.sh QPACK_EXE HOST_QPACK STUB DEMO_MANIFEST WORK_FOLDER
set -u
qpack_exe=$1 host=$2 stub=$3 demo=$4 work=$5
# Wine names Unix files in the locale's character set.
export LC_ALL=C.UTF-8
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

windows() { /usr/lib/wine/wine64 "$qpack_exe" "$@"; }

# Messages of the Windows build end their lines as Windows does.
lines() { tr -d '\r' <"$1"; }

same_setup() { # name manifest [option]: both builds write name-linux.exe and name-windows.exe
  "$host" build "$2" -o "$1-linux.exe" --stub "$stub" --quiet ${3:+"$3"} >/dev/null 2>"$1-linux.err" ||
    fail "$1: the Linux build refused: $(cat "$1-linux.err")"
  windows build "$2" -o "$1-windows.exe" --stub "$stub" --quiet ${3:+"$3"} >/dev/null 2>"$1-windows.err" ||
    fail "$1: the Windows build refused: $(lines "$1-windows.err")"
  cmp "$1-linux.exe" "$1-windows.exe" || fail "$1: the setup programs differ"
}

same_setup demo "$demo"
same_setup demo-lzma "$demo" --lzma

product="製品 Ünïcode"
mkdir -p "$product/ファイル/ツリー/下/深い"
printf 'ソフトの説明\r\n' >"$product/ファイル/説明.txt"
printf 'one' >"$product/ファイル/ツリー/一.dll"
printf 'two' >"$product/ファイル/ツリー/下/二.txt"
printf 'three' >"$product/ファイル/ツリー/下/深い/三.dat"
printf 'old' >"$product/ファイル/ツリー/下/古い.bak"
chmod 444 "$product/ファイル/ツリー/一.dll"
cat >"$product/製品.toml" <<'EOF'
[product]
name = "ソフト 1.0"
codepage = 932

[texts]
footer = "ソフトの表示"
default_folder_name = "ソフト"

[[file]]
source = "ファイル/説明.txt"
target = "説明\\ソ.txt"

[[files]]
source = "ファイル/ツリー"
target = "ツリー"
exclude = ["**/*.bak"]

[[shortcut]]
name = "ソフト.lnk"
folder = "group"
target = "ツリー/一.dll"
EOF
same_setup japanese "$product/製品.toml"

"$host" inspect japanese-linux.exe >linux-report.txt
windows inspect japanese-linux.exe >windows-report.txt
lines windows-report.txt | cmp - linux-report.txt || fail "inspect: the reports differ"
"$host" extract japanese-linux.exe linux-files >/dev/null
windows extract japanese-linux.exe windows-files >/dev/null
diff -r linux-files windows-files || fail "extract: the files differ"

mistake() { # name codepage footer: the same complaint from both builds
  printf '[product]\ncodepage = %s\n[texts]\nfooter = "%s"\n' "$2" "$3" >"$1.toml"
  "$host" build "$1.toml" -o "$1.exe" --stub "$stub" 2>"$1-linux.err" && fail "$1: the Linux build took it"
  windows build "$1.toml" -o "$1.exe" --stub "$stub" 2>"$1-windows.err" && fail "$1: the Windows build took it"
  grep -q "cannot hold" "$1-linux.err" || fail "$1: $(cat "$1-linux.err")"
  lines "$1-windows.err" | cmp - "$1-linux.err" || fail "$1: the complaints differ"
}
mistake no_japanese_in_1252 1252 "日本"
mistake no_yen_in_932 932 "¥100"
mistake no_control_in_1252 1252 $'\u0081'

mkdir kit
cp "$qpack_exe" "$stub" "$(dirname "$stub")/quninst.exe" kit/
/usr/lib/wine/wine64 kit/qpack.exe build "$demo" -o beside.exe --quiet >/dev/null || fail "no setup from the default stub"
cmp beside.exe demo-linux.exe || fail "the setup program beside qpack.exe is not the default"

# The Linux kit moved to a folder of its own, and installed into a prefix:
# each finds its programs, and says where.
mkdir linux-kit
cp "$host" "$stub" "$(dirname "$stub")/quninst.exe" linux-kit/
linux-kit/qpack build "$demo" -o moved.exe --quiet >moved.txt || fail "the moved kit built nothing"
cmp moved.exe demo-linux.exe || fail "the moved kit's setup differs"
grep -q "on the setup program .*linux-kit/qsetup.exe (beside qpack)" moved.txt || fail "moved kit: $(cat moved.txt)"
mkdir -p prefix/bin prefix/share/qinstall
cp "$host" prefix/bin/
cp "$stub" "$(dirname "$stub")/quninst.exe" prefix/share/qinstall/
prefix/bin/qpack build "$demo" -o installed.exe --quiet >installed.txt || fail "the installed kit built nothing"
cmp installed.exe demo-linux.exe || fail "the installed kit's setup differs"
grep -q "(in the install prefix)" installed.txt || fail "installed kit: $(cat installed.txt)"

cp kit/qsetup.exe kept.exe
windows build "$demo" -o ./kit/../kept.exe --stub kept.exe 2>refused.err
[ $? = 2 ] || fail "an output that is the stub: exit code not 2"
grep -q "same file as 'kept.exe'" refused.err || fail "an output that is the stub: $(lines refused.err)"
cmp kept.exe kit/qsetup.exe || fail "the stub was replaced"

windows build "$demo" -o signed.exe --stub "$stub" --sign cert.pem key.pem 2>sign.err
[ $? = 1 ] || fail "signing without osslsigncode: exit code not 1"
grep -q "^signed.exe: cannot sign: osslsigncode cannot be started" sign.err ||
  fail "signing without osslsigncode: $(lines sign.err)"
ls signed.exe* >/dev/null 2>&1 && fail "signing without osslsigncode left $(ls signed.exe*)"

[ "$failures" = 0 ] && echo "qpack.exe agrees with the Linux build"
exit $((failures > 0))
