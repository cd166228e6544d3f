#include "CompoundFile.h"

#include "XlsError.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <memory>

namespace {

struct Unref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
template <typename T> using GsfPtr = std::unique_ptr<T, Unref>;

[[noreturn]] void fail(GsfOutput *output) {
    const GError *e = gsf_output_error(output);
    throw XlsError(QStringLiteral("Cannot build the spreadsheet container: %1")
                       .arg(e ? QString::fromUtf8(e->message) : QStringLiteral("unknown error")));
}

} // namespace

QByteArray CompoundFile::pack(const QByteArray &workbook) {
    static const bool initialised = [] {
        gsf_init();
        return true;
    }();
    Q_UNUSED(initialised);

    // The container is built in memory: the file itself is written in one go by the caller.
    GsfPtr<GsfOutput> memory(gsf_output_memory_new());
    GsfPtr<GsfOutfile> ole(gsf_outfile_msole_new(memory.get()));
    {
        GsfPtr<GsfOutput> stream(gsf_outfile_new_child(ole.get(), "Workbook", FALSE));
        if (!gsf_output_write(stream.get(), gsize(workbook.size()),
                              reinterpret_cast<const guint8 *>(workbook.constData())) ||
            !gsf_output_close(stream.get()))
            fail(stream.get());
    }
    if (!gsf_output_close(GSF_OUTPUT(ole.get()))) fail(GSF_OUTPUT(ole.get()));
    const gsf_off_t size = gsf_output_size(memory.get());
    QByteArray bytes(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()))),
        qsizetype(size));
    return bytes;
}
