# The command line of vela-rates, on the built program: what it prints and
# writes, its messages and exit codes.
#   -DTOOL=<vela-rates> -DSAMPLES=<samples folder> -DWORK_DIR=<scratch folder>
#   [-DPYTHON=<python3> -DSERVER=<rates_http_server.py>]: the download tests
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/empty ${WORK_DIR}/shipped ${WORK_DIR}/blocked/currency.txt)
set(sample ${SAMPLES}/rates/cbr-sample.xml)

# Runs the tool; `out` and `err` are its output and messages.
function(run expected_status)
  execute_process(COMMAND ${TOOL} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "vela-rates ${ARGN}: status ${status}, expected ${expected_status}; out [${out}] err [${err}]")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_match what text pattern)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: [${text}] does not match [${pattern}]")
  endif()
endfunction()

# --print: the file that would be written, in UTF-8; nothing is written.
run(0 --print --folder ${WORK_DIR}/empty ${sample})
expect_match("--print" "${out}" "^; Курсы ЦБ РФ на 15\\.01\\.2026\n1,2,3\nРубль=1\\.000000\nДоллар=80\\.250000\n")
file(GLOB left ${WORK_DIR}/empty/*)
if(left)
  message(FATAL_ERROR "--print wrote ${left}")
endif()
set(printed "${out}")
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${sample} COMMAND ${TOOL} --print --folder=${WORK_DIR}/empty -
                RESULT_VARIABLE status OUTPUT_VARIABLE piped)
if(NOT status EQUAL 0 OR NOT piped STREQUAL printed)
  message(FATAL_ERROR "vela-rates reading standard input: status ${status}, [${piped}]")
endif()

# The shipped currency file is the sample's import: importing it again
# changes nothing but the line ends of the lines written here.
configure_file(${SAMPLES}/currency.txt ${WORK_DIR}/shipped/currency.txt COPYONLY)
run(0 --folder ${WORK_DIR}/shipped ${sample})
file(READ ${SAMPLES}/currency.txt shipped)
file(READ ${WORK_DIR}/shipped/currency.txt again)
string(REPLACE "\r" "" shipped "${shipped}")
string(REPLACE "\r" "" again "${again}")
if(NOT again STREQUAL shipped)
  message(FATAL_ERROR "importing the sample again gives [${again}], shipped [${shipped}]")
endif()

# Refusals name the file, the line and what is wrong; the folder is untouched.
file(WRITE ${WORK_DIR}/bad.xml "<?xml version=\"1.0\"?>\n<ValCurs Date=\"15.01.2026\">\n<Valute>&bogus;</Valute>\n</ValCurs>\n")
run(1 --folder ${WORK_DIR}/empty ${WORK_DIR}/bad.xml)
expect_match("refusal" "${err}" "^vela-rates: [^\n]*bad\\.xml:3: неизвестная сущность «&bogus;»\n$")
run(1 --folder ${WORK_DIR}/empty ${WORK_DIR}/missing.xml)
expect_match("missing file" "${err}" "missing\\.xml: файл не читается")
run(3 --folder ${WORK_DIR}/blocked ${sample})
expect_match("unreadable currency file" "${err}" "blocked/currency\\.txt: не прочитан: ")
file(GLOB left ${WORK_DIR}/empty/*)
if(left)
  message(FATAL_ERROR "a refused import wrote ${left}")
endif()

# --fetch: the day from a server; a failed download says why, exits 1 and
# leaves currency.txt as it was. The server is the test's own, on 127.0.0.1.
if(PYTHON AND SERVER)
  file(MAKE_DIRECTORY ${WORK_DIR}/fetched)
  execute_process(COMMAND sh -c "'${PYTHON}' '${SERVER}' '${WORK_DIR}/port' '${sample}' >/dev/null 2>&1 & echo $!"
                  OUTPUT_VARIABLE server_pid OUTPUT_STRIP_TRAILING_WHITESPACE)
  foreach(attempt RANGE 50)
    if(EXISTS ${WORK_DIR}/port)
      break()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.1)
  endforeach()
  file(READ ${WORK_DIR}/port port)
  set(base http://127.0.0.1:${port})
  run(0 --print --folder ${WORK_DIR}/fetched --fetch ${base}/moved)
  expect_match("--fetch" "${out}" "^; Курсы ЦБ РФ на 15\\.01\\.2026\n1,2,3\nРубль=1\\.000000\n")
  run(0 --folder ${WORK_DIR}/fetched --fetch ${base}/cbr)
  file(READ ${WORK_DIR}/fetched/currency.txt fetched)
  foreach(case
      "404|сервер ответил «404 Not Found», а не файлом курсов"
      "html|это веб-страница, а не файл курсов"
      "cut|соединение оборвалось до конца файла"
      "big|файл больше 2 МБ: это не дневной файл курсов")
    string(REPLACE "|" ";" case "${case}")
    list(GET case 0 path)
    list(GET case 1 message)
    run(1 --folder ${WORK_DIR}/fetched --fetch=${base}/${path})
    expect_match("--fetch ${path}" "${err}" "^vela-rates: ${base}/${path}: ${message}\n$")
  endforeach()
  run(1 --folder ${WORK_DIR}/fetched --fetch https://127.0.0.1:${port}/cbr)
  expect_match("--fetch TLS" "${err}" "защищённое соединение с сервером 127\\.0\\.0\\.1 не установлено\n$")
  file(READ ${WORK_DIR}/fetched/currency.txt after)
  if(NOT after STREQUAL fetched)
    message(FATAL_ERROR "a failed download changed currency.txt: [${after}]")
  endif()
  execute_process(COMMAND kill ${server_pid})
endif()
run(1 --folder ${WORK_DIR}/empty --fetch http://127.0.0.1:1/)
expect_match("no server" "${err}" "нет соединения с сервером 127\\.0\\.0\\.1\n$")
run(2 --fetch ftp://example.org/x)
expect_match("--fetch ftp" "${err}" "--fetch takes cbr, ecb or an http\\(s\\) URL: ftp://example\\.org/x")
run(2 --fetch cbr ${sample})
expect_match("--fetch and FILE" "${err}" "FILE and --fetch both given")

# Bad command lines.
run(2)
expect_match("no FILE" "${err}" "^vela-rates: no FILE\nusage: ")
run(2 --colour ${sample})
expect_match("unknown option" "${err}" "unknown option: --colour")
run(2 a.xml b.xml)
expect_match("two files" "${err}" "more than one FILE: b\\.xml")
run(2 ${sample} --folder)
expect_match("--folder" "${err}" "--folder needs a value")
run(0 --help)
expect_match("--help" "${out}" "Exit status: 0 written")
