// GLib's headers first: Qt's keyword macros would break them.
#include <gio/gio.h>

#include "env/IBusPreloadEngines.h"

QStringList IBusPreloadEngines::read()
{
    // GSettings aborts on a schema it does not know, so look it up first.
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return {};
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(source, "org.freedesktop.ibus.general", TRUE);
    if (!schema)
        return {};
    QStringList engines;
    if (g_settings_schema_has_key(schema, "preload-engines")) {
        GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
        gchar **names = g_settings_get_strv(settings, "preload-engines");
        for (gchar **name = names; name && *name; ++name)
            engines << QString::fromUtf8(*name);
        g_strfreev(names);
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
    return engines;
}
