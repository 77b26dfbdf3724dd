# Sourced by the other scripts: installs the Debian packages the build needs,
# only those that are missing, without questions.
# The benchmarks are part of the default build; the peer benchmark compares
# with spdlog and log4cplus, which nothing else uses.
xoltlog_bench_packages="libbenchmark-dev libspdlog-dev liblog4cplus-dev"
xoltlog_packages="g++ cmake ninja-build pkgconf libicu-dev googletest libgtest-dev binutils rsyslog libcli11-dev nlohmann-json3-dev scdoc $xoltlog_bench_packages"

xoltlog_install_missing_packages() {
  missing=""
  for package in $xoltlog_packages; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
      *" installed") ;;
      *) missing="$missing $package" ;;
    esac
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages:$missing (run as root to install them)" >&2
    return 1
  fi
  # apt's download user cannot always write to /tmp here; give it a
  # directory it can use.
  apt_tmp=$(mktemp -d /var/tmp/xoltlog-apt.XXXXXX)
  chmod 1777 "$apt_tmp"
  echo "installing:$missing"
  TMPDIR=$apt_tmp DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  TMPDIR=$apt_tmp DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends $missing
  rm -rf "$apt_tmp"
}

xoltlog_jobs() {
  nproc 2>/dev/null || echo 2
}
