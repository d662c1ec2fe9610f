#!/usr/bin/env bash
# Builds one version of Tarnock's Windows Installer package on the build machine:
#   make-package.sh OUTDIR VERSION ARCH STRIP UPGRADE_CODE ICON KELVO TARNOCK UPDATE OLMATICPOST
# ARCH is x64 or x86; UPDATE and OLMATICPOST may be "-" when that program was not built.
# OUTDIR/Tarnock/ becomes the stripped program folder (the content of the release zip) and
# OUTDIR/Tarnock.msi the package that installs it into Program Files\Tarnock.
set -euo pipefail
[ $# -eq 10 ] || { sed -n 2,6p "$0" >&2; exit 2; }
out=$1 version=$2 arch=$3 strip=$4 upgrade=$5 icon=$6 kelvo=$7 tarnock=$8 update=$9 olmaticpost=${10}
here=$(cd "$(dirname "$0")" && pwd)

case $arch in
  x64) folder=ProgramFiles64Folder win64=yes ;;
  x86) folder=ProgramFilesFolder win64=no ;;
  *) echo "make-package.sh: unknown architecture $arch" >&2; exit 2 ;;
esac

stage=$out/Tarnock
rm -rf "$stage" "$out/Tarnock.msi" "$out/Tarnock.msi.tmp"
mkdir -p "$stage"
"$strip" --strip-all -o "$stage/Tarnock.exe" "$tarnock"
extra=()
if [ "$update" != - ]; then "$strip" --strip-all -o "$stage/TarnockUpdate.exe" "$update"; else extra+=(-D NoUpdater=1); fi
if [ "$olmaticpost" != - ]; then
  "$strip" --strip-all -o "$stage/OlmaticPost.dll" "$olmaticpost"
  extra+=(-D HaveOlmaticPost=1)
fi
cp "$kelvo" "$stage/kelvo.dat"
cp "$icon" "$out/TarnockIcon.ico"

# wixl resolves source files relative to the working folder.
cd "$out"
wixl -a "$arch" -o Tarnock.msi.tmp -D Version="$version" -D UpgradeCode="$upgrade" \
     -D ProgramFilesDir="$folder" -D Win64="$win64" -D StageDir=Tarnock -D IconFile=TarnockIcon.ico \
     "${extra[@]}" "$here/Tarnock.wxs" 2> >(grep -v 'builder.vala:.*unimplemented' >&2)

# What wixl cannot express. The old version goes after the new one is in place: files of
# both stay (Tarnock.ini included), and a failed upgrade leaves the old version working.
msibuild Tarnock.msi.tmp -q "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 6601 WHERE \`Action\` = 'RemoveExistingProducts'"
# A rebuild of the same version (a new product code) replaces the installed one as well.
msibuild Tarnock.msi.tmp -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade}', '$version', '$version', 769, 'TARNOCK_SAME_VERSION_DETECTED')"
msibuild Tarnock.msi.tmp -q "UPDATE \`Property\` SET \`Value\` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;TARNOCK_SAME_VERSION_DETECTED' WHERE \`Property\` = 'SecureCustomProperties'"
# Tarnock.ini (the administrator's configuration) and the setup program the updater keeps
# beside itself with its backup are not files of the package: they go with a real removal
# only, never with the removal of the old version during an upgrade (their component is
# still in use then, and UPGRADINGPRODUCTCODE is set), which keeps the running
# TarnockSetup.exe out of its way too.
msibuild Tarnock.msi.tmp -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('SetTarnockLeftovers', 51, 'TARNOCKLEFTOVERS', '[INSTALLDIR]')"
msibuild Tarnock.msi.tmp -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('SetTarnockLeftovers', 'REMOVE~=\"ALL\" AND NOT UPGRADINGPRODUCTCODE', 1001)"
n=0
for name in Tarnock.ini TarnockSetup.exe OldExecutable.bak; do
  n=$((n + 1))
  msibuild Tarnock.msi.tmp -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('Leftover$n', 'TarnockExe', '$name', 'TARNOCKLEFTOVERS', 2)"
done
mv Tarnock.msi.tmp Tarnock.msi
