#include "qvf/stream.h"

namespace quorvix::qvf {

Result<Bytes> write_equation_native(const Bytes& qvf) { return qvf; }

}  // namespace quorvix::qvf
