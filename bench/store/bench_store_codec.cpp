// Item compression against zlib (deflate level 1 / inflate), item by item on
// the same mail-like messages, as the mailbox stores them.
#include <zlib.h>

#include <cstdio>
#include <stdexcept>

#include "bench_store_support.h"
#include "store/qdb_codec.h"

using namespace qm;
using namespace qm::bench;

int main() {
  std::mt19937 rng(1);
  std::vector<std::string> items;
  size_t total = 0;
  while (total < 24u << 20) {
    items.push_back(MailMessage(rng, 2048 + rng() % 6144));
    total += items.back().size();
  }
  const double mb = static_cast<double>(total) / 1e6;

  // Ours.
  std::vector<std::string> ours(items.size());
  double t_ours_c = SecondsOf([&] {
    for (size_t i = 0; i < items.size(); ++i) ours[i] = CompressItem(items[i]);
  });
  size_t ours_bytes = 0;
  for (const auto& s : ours) ours_bytes += s.size();
  size_t check = 0;
  double t_ours_e = SecondsOf([&] {
    check = 0;
    for (const auto& s : ours) check += ExpandItem(s).size();
  });
  if (check != total) throw std::runtime_error("round trip failed");

  // zlib with one stream reset per item, so its set-up is not counted per item.
  std::vector<std::string> peer(items.size());
  z_stream def{};
  deflateInit(&def, 1);
  double t_zlib_c = SecondsOf([&] {
    for (size_t i = 0; i < items.size(); ++i) {
      deflateReset(&def);
      std::string& out = peer[i];
      out.resize(deflateBound(&def, items[i].size()));
      def.next_in = reinterpret_cast<Bytef*>(items[i].data());
      def.avail_in = static_cast<uInt>(items[i].size());
      def.next_out = reinterpret_cast<Bytef*>(out.data());
      def.avail_out = static_cast<uInt>(out.size());
      deflate(&def, Z_FINISH);
      out.resize(def.total_out);
    }
  });
  deflateEnd(&def);
  size_t zlib_bytes = 0;
  for (const auto& s : peer) zlib_bytes += s.size();
  z_stream inf{};
  inflateInit(&inf);
  std::string buf;
  double t_zlib_e = SecondsOf([&] {
    check = 0;
    for (size_t i = 0; i < peer.size(); ++i) {
      inflateReset(&inf);
      buf.resize(items[i].size());
      inf.next_in = reinterpret_cast<Bytef*>(peer[i].data());
      inf.avail_in = static_cast<uInt>(peer[i].size());
      inf.next_out = reinterpret_cast<Bytef*>(buf.data());
      inf.avail_out = static_cast<uInt>(buf.size());
      inflate(&inf, Z_FINISH);
      check += inf.total_out;
    }
  });
  inflateEnd(&inf);
  if (check != total) throw std::runtime_error("zlib round trip failed");

  std::printf("%zu mail items, %.1f MB; compressed to %.1f%% (ours) and %.1f%% (zlib -1)\n", items.size(), mb,
              100.0 * ours_bytes / total, 100.0 * zlib_bytes / total);
  BenchLine("store.CompressItem", mb / t_ours_c, mb / t_zlib_c, "zlib", "MB/s", t_zlib_c / t_ours_c, ">=1.0");
  BenchLine("store.ExpandItem", mb / t_ours_e, mb / t_zlib_e, "zlib", "MB/s", t_zlib_e / t_ours_e, ">=1.0");
  return 0;
}
