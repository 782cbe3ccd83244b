#include "tests/snapshots/ExternalReaders.h"

#include <QJsonDocument>
#include <QProcess>

namespace readers {

namespace {

// Layer effects come from the legacy "lrFX" block; psd-tools keeps them as raw 16.16 numbers.
const char *kDescribeScript = R"PY(
import json, os, sys
from psd_tools import PSDImage
from psd_tools.constants import Tag

psd = PSDImage.open(sys.argv[1])
out_dir = sys.argv[2]

def effects(layer):
    fx = layer.tagged_blocks.get_data(Tag.EFFECTS_LAYER) if layer.tagged_blocks else None
    if fx is None:
        return None
    found = {}
    for key, value in fx.items():
        k = key.value.decode() if hasattr(key, 'value') else str(key)
        d = {}
        for name in ('blur', 'angle', 'distance', 'opacity', 'enabled'):
            if hasattr(value, name):
                v = getattr(value, name)
                d[name] = v >> 16 if name in ('blur', 'angle', 'distance') else v
        found[k] = d
    return found

def walk(group):
    out = []
    for layer in group:
        d = {'name': layer.name, 'kind': layer.kind, 'group': layer.is_group(),
             'bbox': list(layer.bbox), 'opacity': layer.opacity, 'visible': layer.visible,
             'effects': effects(layer)}
        if layer.is_group():
            d['children'] = walk(layer)
        else:
            image = layer.topil()
            if image is not None:
                image.convert('RGBA').save(os.path.join(out_dir, layer.name + '.png'))
        out.append(d)
    return out

composite = psd.topil()
composite.convert('RGBA').save(os.path.join(out_dir, 'composite.png'))
print(json.dumps({'size': list(psd.size), 'channels': psd.channels, 'depth': psd.depth,
                  'mode': str(psd.color_mode), 'layers': walk(psd)}))
)PY";

} // namespace

Result run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(30000)) {
        result.err = QStringLiteral("cannot start %1").arg(program);
        return result;
    }
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QJsonObject psdTools(const QString &psdPath, const QString &pngFolder, QString *error)
{
    const Result r = run(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral("-c"), QString::fromUtf8(kDescribeScript), psdPath, pngFolder});
    if (r.exitCode != 0) {
        if (error)
            *error = r.err;
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &parseError);
    if (!doc.isObject() && error)
        *error = parseError.errorString() + QLatin1Char(' ') + r.out + r.err;
    return doc.object();
}

} // namespace readers
