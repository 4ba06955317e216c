#include "remote/QrCode.h"

#include <qrcodegen.hpp>
#include <stdexcept>

namespace quillane {

QrModules QrModulesFor(const std::string& text) {
    QrModules m;
    try {
        const qrcodegen::QrCode code =
            qrcodegen::QrCode::encodeText(text.c_str(), qrcodegen::QrCode::Ecc::MEDIUM);
        m.size = code.getSize();
        m.dark.reserve(static_cast<std::size_t>(m.size * m.size));
        for (int y = 0; y < m.size; ++y)
            for (int x = 0; x < m.size; ++x) m.dark.push_back(code.getModule(x, y));
    } catch (const qrcodegen::data_too_long&) {
        m = QrModules{};
    }
    return m;
}

}  // namespace quillane
