# Checks the command-line contract of vela-keys: output lines and exit codes.
function(expect_output expected)
  execute_process(COMMAND ${RUNNER} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "${expected}")
    message(FATAL_ERROR "vela-keys ${ARGN}: status ${status}, output [${out}], expected [${expected}]; stderr: ${err}")
  endif()
endfunction()

function(expect_refusal word)
  execute_process(COMMAND ${RUNNER} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT out STREQUAL "" OR NOT err MATCHES "${word}")
    message(FATAL_ERROR "vela-keys ${ARGN}: status ${status}, output [${out}], stderr [${err}]; expected a refusal naming ${word}")
  endif()
endfunction()

expect_output("rd 5\n" 2 right 1 3 ok)
expect_output("H C\n" --repr hex "#" "#" "#")
expect_output("H C\n" --repr=hex "#" "#" "#")
expect_output("dg 0.5\n" --angle deg 3 0 down 1)
expect_output("rd 1 234 567.5\n" --group 1 2 3 4 5 6 7 * 5)
expect_output("rd 0.33\n" --precision 2 1 right 7 3 ok)
expect_output("rd 2\nrd 2\nrd 2+\nrd 3\nrd 5\n" --trace 2 right 1 3 ok)
expect_output("rd 0.333333\n0.33333333333333331\n" --value 1 right 7 3 ok)
expect_output("B 101\n" --repr bin 1 0 1)
expect_output("rd 1e5\n" 1 "#" "#" 5)
expect_output("rd 0\n")

# The program folder: the shipped files, a folder without them, and --menu.
set(SAMPLES ${CMAKE_CURRENT_LIST_DIR}/../samples)
expect_output("rd 1.25\n" --folder ${SAMPLES} 1 0 0 cmd:40022)
expect_output("rd 1.25\n" --folder=${SAMPLES}/ 1 0 0 act:59)
expect_output("rd 8025.00\n" --folder ${SAMPLES} 1 0 0 act:61)
expect_output("rd 299792500\n" --folder ${SAMPLES} 4 act:66)
expect_output("rd 9.80665\n" --folder ${SAMPLES} cmd:40043)
expect_output("rd 100.00\n" --folder ${SAMPLES}/missing 1 0 0 cmd:40022)
expect_output("rd 5\n" 5 cmd:40042)
expect_output("rd 1.25
1.2461059190031152
40022 Рубль->Доллар
40023 Рубль->Евро
40024 Доллар->Рубль
40025 Доллар->Евро
40026 Евро->Рубль
40027 Евро->Доллар
40028 Выбор...
40040 π
40041 e
40042 Скор. света
40043 Ускор.св.пад.
40044 Планк
40045 Заряд электр.
40046 Авогадро
40047 Больцман
40048 Выбор...
40055 Загруз.->Выбор
" --folder ${SAMPLES} --value --menu 1 0 0 cmd:40022)
expect_output("rd 0
40028 Выбор...
40040 π
40041 e
40042 1
40043 2
40044 3
40045 4
40046 5
40047 6
40048 Выбор...
40055 Загруз.->Выбор
" --menu --folder ${SAMPLES}/missing)

expect_refusal("frobnicate" 1 frobnicate 2)
expect_refusal("--colour" --colour 1)
expect_refusal("act:75x" act:75x)
expect_refusal("--precision" --precision 13 1)
expect_refusal("wait:" wait:)
expect_refusal("--folder" 1 --folder)
expect_refusal("--folder" --folder= 1)
