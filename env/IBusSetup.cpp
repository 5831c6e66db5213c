// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// GLib's headers first: Qt's keyword macros would break them.
#include <gio/gio.h>

#include "env/IBusSetup.h"

namespace {

// GSettings aborts on a schema or key it does not know, so both are looked up first. The
// settings object is given to `read` only when the key exists.
template <typename Read> void withKey(const char *schemaId, const char *key, Read read)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return;
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema)
        return;
    if (g_settings_schema_has_key(schema, key)) {
        GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
        read(settings);
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
}

} // namespace

IBusSetup IBusSetup::read()
{
    IBusSetup setup;
    withKey("org.freedesktop.ibus.general", "preload-engines", [&setup](GSettings *settings) {
        gchar **names = g_settings_get_strv(settings, "preload-engines");
        for (gchar **name = names; name && *name; ++name)
            setup.preloadEngines << QString::fromUtf8(*name);
        g_strfreev(names);
    });
    withKey("org.gnome.desktop.input-sources", "sources", [&setup](GSettings *settings) {
        GVariant *sources = g_settings_get_value(settings, "sources");
        if (g_variant_is_of_type(sources, G_VARIANT_TYPE("a(ss)"))) {
            GVariantIter iter;
            g_variant_iter_init(&iter, sources);
            const gchar *type = nullptr;
            const gchar *id = nullptr;
            while (g_variant_iter_next(&iter, "(&s&s)", &type, &id))
                setup.inputSources.append({QString::fromUtf8(type), QString::fromUtf8(id)});
        }
        g_variant_unref(sources);
    });
    return setup;
}
