# Shared by scripts/build-windows and scripts/test: the Windows cross-build. Qt for mingw-w64 is built
# once from Debian's own source packages (the same release as the host's Qt tools, which the cross
# build runs) into a cache kept between runs and between clones.

KVX_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 nsis dpkg-dev zip
  unzip imagemagick librsvg2-bin googletest cmake ninja-build qt6-base-dev qt6-tools-dev qt6-tools-dev-tools
  qt6-l10n-tools qt6-translations-l10n)
KVX_WINDOWS_CACHE=${KVX_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kvx100-windows}
KVX_WINDOWS_QT="$KVX_WINDOWS_CACHE/qt-$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null || echo none)"
KVX_WINDOWS_BUILD=${KVX_WINDOWS_BUILD:-build-windows}

# True once a whole Qt build is in the cache (the marker is written last).
kvx_windows_qt_ready() {
  [ -f "$KVX_WINDOWS_QT/.complete" ]
}

# Downloads and unpacks the source package $1 at the version of Debian's binary package $2 (the host's
# Qt tools must be the same release), into $3.
kvx_windows_qt_source() {
  local package=$1 binary=$2 into=$3
  local version
  version=$(dpkg-query -W -f='${source:Version}' "$binary")
  local apt="$KVX_WINDOWS_CACHE/apt"
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$into"
  # A sources list of its own: the machine's apt configuration is left as it is.
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  printf 'deb-src [signed-by=%s] http://deb.debian.org/debian bookworm main\n' "$keyring" >"$apt/sources.list"
  printf 'deb-src [signed-by=%s] http://deb.debian.org/debian-security bookworm-security main\n' "$keyring" >>"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::Archives=$apt/archives" -o APT::Sandbox::User=root)
  [ -n "$(ls "$apt/lists" 2>/dev/null | grep -v partial)" ] || apt-get "${options[@]}" update -qq
  (cd "$into" && apt-get "${options[@]}" source -qq "$package=$version" >/dev/null)
}

# Configures, builds and installs one Qt module for mingw-w64 into the cache.
kvx_windows_qt_module() {
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -G Ninja -Wno-dev "$@" >"$build.configure.log" 2>&1 ||
    { tail -40 "$build.configure.log"; return 1; }
  ninja -C "$build" install >"$build.build.log" 2>&1 || { tail -60 "$build.build.log"; return 1; }
}

kvx_windows_build_qt() {
  kvx_windows_qt_ready && return 0
  local started=$SECONDS
  local work="$KVX_WINDOWS_CACHE/work"
  rm -rf "$work" "$KVX_WINDOWS_QT"
  mkdir -p "$work" "$KVX_WINDOWS_QT"
  # qtbase only: Debian's mirror serves no source of qt6-svg, so the Windows icon is drawn from its SVG
  # at build time instead of by Qt's SVG plugin.
  echo "== Qt for Windows: fetching Debian's qt6-base source"
  kvx_windows_qt_source qt6-base qt6-base-dev "$work/base"
  # Qt's own toolchain file chains to this one by its path: keep a copy beside the installed Qt.
  cp cmake/mingw-w64.cmake "$KVX_WINDOWS_QT/mingw-w64.cmake"
  local host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  echo "== Qt for Windows: building qtbase (half an hour on two cores; once)"
  kvx_windows_qt_module "$(ls -d "$work"/base/qt6-base-*/)" "$work/base-build" \
    -DCMAKE_TOOLCHAIN_FILE="$KVX_WINDOWS_QT/mingw-w64.cmake" "${host[@]}" \
    -DCMAKE_INSTALL_PREFIX="$KVX_WINDOWS_QT" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_accessibility=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF -DFEATURE_icu=OFF
  rm -rf "$work"
  touch "$KVX_WINDOWS_QT/.complete"
  echo "== Qt for Windows: built in $((SECONDS - started)) s into $KVX_WINDOWS_QT ($(du -sh "$KVX_WINDOWS_QT" | cut -f1))"
}

kvx_windows_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$KVX_WINDOWS_BUILD/CMakeCache.txt"
}

# Configures and builds the programs and their tests for Windows against the cached Qt.
kvx_windows_build() {
  cmake -S . -B "$KVX_WINDOWS_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$KVX_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DKVX_WERROR=ON -DKVX_TESTS="${KVX_WINDOWS_TESTS:-ON}" >/dev/null
  ninja -C "$KVX_WINDOWS_BUILD"
}

# Runs the Windows tests under Wine, in the build tree's own prefix (made once, before the tests run
# side by side).
kvx_windows_test() {
  [ -d "$KVX_WINDOWS_BUILD/wine" ] || { "$KVX_WINDOWS_BUILD/wine-run" wineboot --init >/dev/null 2>&1 || true; }
  WINEPREFIX="$PWD/$KVX_WINDOWS_BUILD/wine" wineserver -w
  # Under Wine a test now and then never ends after passing (seen with a fresh prefix, the first tests
  # started side by side): one that times out runs once more before it counts as failed.
  (cd "$KVX_WINDOWS_BUILD" && ctest --output-on-failure --timeout 300 --repeat after-timeout:2 -j2)
}

# Stages the release folder, then zips it and wraps it in the installer, into $KVX_WINDOWS_BUILD/release.
kvx_windows_release() {
  local version name release stage
  version=$(kvx_windows_version)
  name="kvx100-manager-$version"
  release="$PWD/$KVX_WINDOWS_BUILD/release"
  stage="$release/$name"
  rm -rf "$release"
  mkdir -p "$release"
  cmake --install "$KVX_WINDOWS_BUILD" --prefix "$stage" --strip >/dev/null
  # The installer names every file it installs and removes exactly those: the lists come from the stage.
  local files="$release/files.nsh" removals="$release/removals.nsh"
  (
    cd "$stage"
    local dir
    find . -type d | sort | while read -r dir; do
      dir=${dir#./}
      [ "$dir" = "." ] && dir=""
      printf 'SetOutPath "$INSTDIR%s"\n' "${dir:+\\${dir//\//\\}}"
      find "./$dir" -maxdepth 1 -type f | sort | while read -r file; do
        printf 'File "%s"\n' "$stage/${file#./}"
      done
    done
    printf 'SetOutPath "$INSTDIR"\n'
  ) | sed 's#/\./#/#g; s#//#/#g' >"$files"
  (
    cd "$stage"
    find . -type f | sort | while read -r file; do
      file=${file#./}
      printf 'Delete "$INSTDIR\\%s"\n' "${file//\//\\}"
    done
    find . -mindepth 1 -type d | sort -r | while read -r dir; do
      dir=${dir#./}
      printf 'RMDir "$INSTDIR\\%s"\n' "${dir//\//\\}"
    done
  ) >"$removals"
  makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$files" -DREMOVALS="$removals" \
    -DOUTFILE="$release/$name-setup.exe" packaging/windows/installer.nsi
  (cd "$release" && zip -qr "$name-windows-x64.zip" "$name")
  echo "== Windows release: $(du -h "$release/$name-setup.exe" | cut -f1) installer, $(du -h "$release/$name-windows-x64.zip" | cut -f1) zip in $KVX_WINDOWS_BUILD/release"
}
