// SHA-1 throughput on 64 MB against OpenSSL.
#include <openssl/sha.h>

#include <cstdio>
#include <cstring>

#include "bench_store_support.h"
#include "store/sha1.h"

using namespace qm;
using namespace qm::bench;

int main() {
  std::string data(64u << 20, '\0');
  std::mt19937 rng(5);
  for (auto& c : data) c = static_cast<char>(rng());
  Sha1Digest ours{};
  unsigned char peer[20];
  double t_ours = SecondsOf([&] { ours = Sha1Of(data); });
  double t_peer = SecondsOf([&] { SHA1(reinterpret_cast<const unsigned char*>(data.data()), data.size(), peer); });
  if (std::memcmp(ours.data(), peer, 20) != 0) {
    std::printf("digests differ\n");
    return 1;
  }
  const double mb = static_cast<double>(data.size()) / 1e6;
  BenchLine("store.Sha1_64MB", mb / t_ours, mb / t_peer, "OpenSSL", "MB/s", t_peer / t_ours, ">=0.5");
  return 0;
}
