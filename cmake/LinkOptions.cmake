# The site's two host names and the media link's scheme are compiled into the link constants. They
# are build options so that a build can point at another deployment of the site; the default hosts
# are reserved test names.
set(QMZ_SITE_HOST "site.test" CACHE STRING "Host of the video site's pages (used bare and with www.)")
set(QMZ_MEDIA_HOST "media.site.test" CACHE STRING "Host that serves the site's video files")
set(QMZ_MEDIA_SCHEME "http" CACHE STRING "Scheme of the media links: http, or https for a media host that serves it")

# A wrong scheme is told first and stops the configure step together with the host checks below,
# so that one run names every wrong option.
if(NOT QMZ_MEDIA_SCHEME MATCHES "^https?$")
    message(SEND_ERROR "QMZ_MEDIA_SCHEME=\"${QMZ_MEDIA_SCHEME}\" is not a scheme the media host can serve: "
                       "give http or https, in small letters")
endif()

include(HostNameCheck)

qmz_check_host(QMZ_SITE_HOST "${QMZ_SITE_HOST}")
qmz_check_host(QMZ_MEDIA_HOST "${QMZ_MEDIA_HOST}")
