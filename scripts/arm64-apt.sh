# Sourced by the ARM64 set-up steps: Debian's arm64 packages and source packages read through an
# apt configuration of our own under build/arm64-apt. The machine's package database, its sources
# and its architectures are never changed: the lists, the cache and an empty status file are ours,
# and nothing is installed, only downloaded.
#
# Only bookworm and bookworm-updates are read: the security suite's indexes are the ones a mirror
# in the middle of a sync serves broken, and nothing we fetch (Wine 8.0, mingw-w64 10.0.0) comes from
# there. An index that still fails leaves the others usable: the step goes on when the packages it
# needs are found in the lists that were read. ORLIN_DEBIAN_MIRROR names another mirror.
orlin_apt_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/arm64-apt
orlin_apt_mirror=${ORLIN_DEBIAN_MIRROR:-http://deb.debian.org/debian}

orlin_apt() {
  APT_CONFIG=$orlin_apt_root/apt.conf apt-get -q "$@"
}

# Writes the configuration and reads the package lists, once per set-up run.
orlin_apt_update() {
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg suite
  mkdir -p "$orlin_apt_root"/{lists/partial,cache/archives/partial,preferences.d}
  : >"$orlin_apt_root/status"
  : >"$orlin_apt_root/sources.list"
  for suite in bookworm bookworm-updates; do
    echo "deb [arch=arm64 signed-by=$keyring] $orlin_apt_mirror $suite main" >>"$orlin_apt_root/sources.list"
    echo "deb-src [signed-by=$keyring] $orlin_apt_mirror $suite main" >>"$orlin_apt_root/sources.list"
  done
  # Read after the machine's apt.conf.d, so these win; the machine's hooks run for its own lists only.
  cat >"$orlin_apt_root/apt.conf" <<EOF
APT::Architecture "arm64";
APT::Architectures { "arm64"; };
Dir::State::status "$orlin_apt_root/status";
Dir::State::Lists "$orlin_apt_root/lists";
Dir::Cache "$orlin_apt_root/cache";
Dir::Cache::archives "$orlin_apt_root/cache/archives";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
APT::Sandbox::User "root";
Dir::Etc::sourcelist "$orlin_apt_root/sources.list";
Dir::Etc::sourceparts "/dev/null";
Dir::Etc::preferences "/dev/null";
Dir::Etc::preferencesparts "$orlin_apt_root/preferences.d";
#clear APT::Update::Post-Invoke-Success;
#clear APT::Update::Post-Invoke;
#clear DPkg::Post-Invoke;
#clear DPkg::Pre-Invoke;
EOF
  orlin_apt update || echo "apt-get update failed for an index; going on with the lists it read"
}
